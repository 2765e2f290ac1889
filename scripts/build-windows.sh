#!/usr/bin/env bash
# Cross-builds the 32-bit Windows program into dist/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cmake -S "$root" -B "$root/build/win32" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DPELLORIN_WERROR="${PELLORIN_WERROR:-OFF}" >/dev/null
cmake --build "$root/build/win32" -j"$(nproc)"
