# Sourced by every script that runs Windows programs: the one place that
# decides which Wine runs them here, and so which build of Pellorin.
#
# The 32-bit build is what we ship, and runs under Wine's 32-bit loader. Some
# kernels boot with 32-bit user space switched off ("32-bit emulation
# disabled"); that loader cannot start there, so the 64-bit build runs under
# Wine's 64-bit loader in a 64-bit prefix instead. PELLORIN_WINE64=1 takes
# the 64-bit path on any machine, so that both can be tried on one.
#
# After `select_wine ROOT`:
#   wine_bits      32 or 64
#   wine_reason    why the 64-bit path was taken ("" on the 32-bit one)
#   wine_loader    the command that starts a Windows program
#   windows_build  the build folder of that width
#   windows_dist   its program folder
# and WINEARCH (with WINELOADER on the 64-bit path) is exported.

wine32_loader=/usr/lib/wine/wine
wine64_loader=/usr/lib/wine/wine64

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
  else
    wine_bits=64
    wine_reason="this kernel cannot start 32-bit programs"
  fi

  if [ "$wine_bits" = 64 ]; then
    wine_loader=$wine64_loader
    windows_build=$root/build/win64
    windows_dist=$root/build/win64/dist
    export WINEARCH=win64
    # Programs that Wine starts by itself (wscript, reg, the shell) take it too.
    export WINELOADER=$wine64_loader
  else
    wine_loader=wine
    windows_build=$root/build/win32
    windows_dist=$root/dist
    export WINEARCH=win32
    unset WINELOADER
  fi
}

# One line that says which build the Windows side runs, and why.
describe_wine() {
  if [ "$wine_bits" = 64 ]; then
    echo "64-bit build; $wine_reason"
  else
    echo "32-bit build"
  fi
}
