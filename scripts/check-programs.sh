#!/usr/bin/env bash
# Checks the built programs as a user gets them. Usage:
#   check-programs.sh BUILD DIST [--sizes]
# for Pellorin.exe and rovudir.exe of one build (its folder, and the program
# folder it filled):
# - every DLL they import is one Windows loads from its own folder whatever
#   lies beside the program (a known DLL, or the common controls, which the
#   manifest binds), so nothing downloaded next to them runs with them;
# - Windows loads them at a random address (with relocations to do it, and
#   room for it at 64 bits) and never runs their data;
# - the stack canary's check is linked in, so functions with buffers have one;
# - with --sizes, they stay as small as a tray tool should: a size that
#   creeps past the limits is a regression to look into (the link map beside
#   each program in the build folder shows what came in).
# Exits non-zero, saying why, when any check fails.
set -euo pipefail
build=$1 dist=$2 sizes=${3:-}

objdump=x86_64-w64-mingw32-objdump
command -v "$objdump" >/dev/null || objdump=i686-w64-mingw32-objdump

# Windows' known DLLs (HKLM\SYSTEM\CurrentControlSet\Control\Session Manager\KnownDLLs),
# and comctl32, which the manifest takes from the side-by-side store.
allowed=" advapi32.dll clbcatq.dll combase.dll comdlg32.dll gdi32.dll gdiplus.dll imagehlp.dll imm32.dll
  kernel32.dll msctf.dll msvcrt.dll normaliz.dll nsi.dll ole32.dll oleaut32.dll psapi.dll rpcrt4.dll sechost.dll
  setupapi.dll shcore.dll shell32.dll shlwapi.dll user32.dll wldap32.dll ws2_32.dll comctl32.dll "

status=0
fail() {
  echo "  FAIL  $*"
  status=1
}

for entry in "Pellorin.exe Pellorin.exe.map 225280" "rovudir.exe launcher/rovudir.exe.map 51200"; do
  read -r name map most <<<"$entry"
  program=$dist/$name
  echo "$program:"
  if [ ! -f "$program" ]; then
    fail "missing"
    continue
  fi
  headers=$("$objdump" -p "$program")

  dlls=$(awk '/DLL Name:/ {print tolower($3)}' <<<"$headers" | sort -u | tr '\n' ' ')
  echo "  imports $dlls"
  for dll in $dlls; do
    if [[ $allowed != *" $dll "* ]]; then
      fail "$dll is no DLL Windows keeps in its own folder: one beside the program would be loaded instead"
    fi
  done

  flags=$((16#$(awk '/^DllCharacteristics/ {print $2}' <<<"$headers")))
  wanted=(0x40 "ASLR (dynamic base)" 0x100 "DEP (NX compatible)")
  if grep -q "x86-64" <<<"$("$objdump" -f "$program")"; then
    wanted+=(0x20 "high-entropy ASLR")
  fi
  for ((i = 0; i < ${#wanted[@]}; i += 2)); do
    if (((flags & wanted[i]) == 0)); then fail "${wanted[i + 1]} is off"; else echo "  ${wanted[i + 1]} on"; fi
  done
  if ! "$objdump" -h "$program" | grep -q " \.reloc "; then
    fail "no relocations: Windows cannot move it, whatever its flags say"
  fi

  if [ ! -f "$build/$map" ]; then
    fail "no link map $build/$map"
  elif grep -q "libssp.a(ssp.o)" "$build/$map" && grep -q "__stack_chk_fail" "$build/$map"; then
    echo "  stack protector linked in"
  else
    fail "no stack protector: its check is not in $build/$map"
  fi

  if [ "$sizes" = --sizes ]; then
    size=$(stat -c %s "$program")
    if [ "$size" -gt "$most" ]; then
      fail "$size bytes, more than the $most allowed"
    else
      echo "  $size bytes (limit $most)"
    fi
  fi
done
exit $status
