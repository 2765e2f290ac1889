# Sourced by every script that runs Windows programs: the one place that
# decides which Wine runs them here, and so which build of Pellorin.
#
# The 32-bit build is what we ship, and runs under Wine's 32-bit loader. Some
# kernels boot with 32-bit user space switched off ("32-bit emulation
# disabled"); that loader cannot start there, so the 64-bit build runs under
# Wine's 64-bit loader in a 64-bit prefix instead, as it does where 32-bit
# Wine could not be installed (install-deps.sh). PELLORIN_WINE64=1 takes
# the 64-bit path on any machine, so that both can be tried on one.
#
# After `select_wine ROOT`:
#   wine_bits      32 or 64
#   wine_reason    why the 64-bit path was taken ("" on the 32-bit one)
#   wine_suffix    "" or "64": what the 64-bit path adds to folder names
#   wine_loader    the command that starts a Windows program
#   windows_build  the build folder of that width
#   windows_dist   its program folder
#   e2e_widths     the builds the end-to-end tests run, in order: "32 64"
#                  where both can run, "64" where only that one can
# and WINEARCH (with WINELOADER on the 64-bit path) is exported.
#
# Every test below is written as an if, never as `test && action`: under
# `set -e` a false test there would end the script that sourced this.

wine32_loader=/usr/lib/wine/wine
wine64_loader=/usr/lib/wine/wine64

# True unless this kernel refuses 32-bit programs outright (some boot with
# them switched off): a 91-byte i386 program that only exits is started.
kernel_runs_32_bit() {
  local probe said
  probe=$(mktemp)
  printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08'\
'\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00'\
'\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08\x5b\x00\x00\x00\x5b\x00\x00\x00'\
'\x05\x00\x00\x00\x00\x10\x00\x00\x31\xdb\x31\xc0\x40\xcd\x80' >"$probe"
  chmod +x "$probe"
  said=$("$probe" 2>&1) || true
  rm -f "$probe"
  # The kernel's answer when it has no 32-bit support (a folder mounted
  # noexec would say "Permission denied": that is no answer either way).
  [[ $said != *"Exec format error"* ]]
}

# True when this machine can start Wine's 32-bit loader.
can_run_wine32() {
  "$wine32_loader" --version >/dev/null 2>&1
}

select_wine() {
  local root=$1
  if [ "${PELLORIN_WINE64:-0}" = 1 ]; then
    wine_bits=64
    wine_reason="forced by PELLORIN_WINE64=1"
  elif can_run_wine32; then
    wine_bits=32
    wine_reason=""
  elif kernel_runs_32_bit; then
    wine_bits=64
    wine_reason="32-bit Wine is not installed (install-deps.sh could not get it)"
  else
    wine_bits=64
    wine_reason="this kernel cannot start 32-bit programs"
  fi

  if [ "$wine_bits" = 64 ]; then
    wine_suffix=64
    wine_loader=$wine64_loader
    windows_build=$root/build/win64
    windows_dist=$root/build/win64/dist
    e2e_widths="64"
    export WINEARCH=win64
    # Programs that Wine starts by itself (wscript, reg, the shell) take it too.
    export WINELOADER=$wine64_loader
  else
    wine_suffix=""
    wine_loader=wine
    windows_build=$root/build/win32
    windows_dist=$root/dist
    # The build that ships first, then the 64-bit one that 64-bit Windows
    # would run just as well.
    e2e_widths="32 64"
    export WINEARCH=win32
    unset WINELOADER
  fi
}

# One line that says which build a run of the Windows side uses, and why:
# describe_wine [BITS], BITS defaulting to the chosen width.
describe_wine() {
  local bits=${1:-$wine_bits}
  if [ "$bits" = 32 ]; then
    echo "32-bit build (what ships)"
  elif [ "$wine_bits" = 64 ]; then
    echo "64-bit build; $wine_reason"
  else
    echo "64-bit build, after the 32-bit one"
  fi
}
