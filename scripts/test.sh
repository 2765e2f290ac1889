#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the native
# unit tests, the end-to-end tests of dist/ under Wine, and a bounded fuzz run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)

"$root/scripts/install-deps.sh" all

echo "== Windows program (32-bit) into dist/"
PELLORIN_WERROR=ON "$root/scripts/build-windows.sh"

echo "== 64-bit Windows compile (cleanliness only)"
cmake -S "$root" -B "$root/build/win64" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake" \
  -DPELLORIN_WERROR=ON -DPELLORIN_DIST_DIR="$root/build/win64/dist" >/dev/null
cmake --build "$root/build/win64" -j"$jobs" --target Pellorin

echo "== Native logic and unit tests"
cmake -S "$root" -B "$root/build/native" -DPELLORIN_WERROR=ON -DPELLORIN_E2E=ON \
  -DPELLORIN_DIST_DIR="$root/dist" -DPELLORIN_E2E_TOOLS_DIR="$root/build/win32/tests/e2e/tools" >/dev/null
cmake --build "$root/build/native" -j"$jobs"

echo "== Field reader fuzzer (clang)"
cmake -S "$root" -B "$root/build/fuzz" -DCMAKE_CXX_COMPILER=clang++-14 >/dev/null
cmake --build "$root/build/fuzz" -j"$jobs" --target field_reader_fuzz

echo "== Tests"
status=0
(cd "$root/build/native" && ctest --output-on-failure) || status=1
(cd "$root/build/fuzz" && ctest --output-on-failure -R fuzz) || status=1
exit $status
