#!/usr/bin/env bash
# Cross-builds the Windows programs. Usage: build-windows.sh [32|64] [e2e]
#   32 (default): the 32-bit build that ships, into dist/
#   64: the 64-bit build, into build/win64/dist/
#   e2e: the same program for the end-to-end tests and the README's pictures,
#        whose update check asks the tests' web server on 127.0.0.1 and gives
#        a silent one 10 s instead of 30, into build/e2e-win32/dist/ or
#        build/e2e-win64/dist/ (warnings are errors)
# PELLORIN_WERROR=ON or OFF, when set, makes warnings errors or not; unset,
# the build folder keeps what it had (OFF in a new one).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bits=${1:-32}
flavour=${2:-}
case "$bits" in
  32) build=$root/build/win32 toolchain=mingw-i686 dist=$root/dist ;;
  64) build=$root/build/win64 toolchain=mingw-x86_64 dist=$root/build/win64/dist ;;
  *) echo "usage: $0 [32|64] [e2e]" >&2; exit 2 ;;
esac
extra=()
case "$flavour" in
  "") ;;
  e2e)
    build=$root/build/e2e-win$bits
    dist=$build/dist
    extra=(-DPELLORIN_WERROR=ON "-DPELLORIN_UPDATE_URL=$(python3 "$root/tests/e2e/e2e.py" update-url)"
      "-DPELLORIN_UPDATE_TIME_LIMIT_MS=$(python3 "$root/tests/e2e/e2e.py" update-time-limit)")
    ;;
  *) echo "usage: $0 [32|64] [e2e]" >&2; exit 2 ;;
esac
# The shipped build and the tests' build of a width differ only where the
# addresses are used: with ccache the second takes the first one's objects.
# (Paths under the checkout count from the build folder, the same in both.)
launcher=""
if command -v ccache >/dev/null; then
  export CCACHE_BASEDIR=$root
  launcher=ccache
fi
extra+=("-DCMAKE_CXX_COMPILER_LAUNCHER=$launcher")
cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/$toolchain.cmake" \
  -DCMAKE_BUILD_TYPE=Release ${PELLORIN_WERROR:+-DPELLORIN_WERROR="$PELLORIN_WERROR"} -DPELLORIN_DIST_DIR="$dist" \
  "${extra[@]}" >/dev/null
cmake --build "$build" -j"$(nproc)"
