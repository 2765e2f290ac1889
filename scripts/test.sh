#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the native
# unit tests, the end-to-end tests under Wine, and a bounded fuzz run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)

"$root/scripts/install-deps.sh" all
. "$root/scripts/which-wine.sh"
select_wine "$root"

echo "== Windows programs (32-bit, what ships) into dist/"
PELLORIN_WERROR=ON "$root/scripts/build-windows.sh" 32

echo "== Windows programs (64-bit) into build/win64/dist/"
PELLORIN_WERROR=ON "$root/scripts/build-windows.sh" 64

echo "== Native logic and unit tests"
cmake -S "$root" -B "$root/build/native" -DPELLORIN_WERROR=ON -DPELLORIN_E2E=ON \
  -DPELLORIN_DIST_DIR="$windows_dist" -DPELLORIN_E2E_TOOLS_DIR="$windows_build/tests/e2e/tools" \
  -DPELLORIN_E2E_WINE_BITS="$wine_bits" >/dev/null
cmake --build "$root/build/native" -j"$jobs"

echo "== Field reader fuzzer (clang)"
cmake -S "$root" -B "$root/build/fuzz" -DCMAKE_CXX_COMPILER=clang++-14 >/dev/null
cmake --build "$root/build/fuzz" -j"$jobs" --target field_reader_fuzz

echo "== Tests"
echo "e2e: $(describe_wine)"
status=0
(cd "$root/build/native" && ctest --output-on-failure) || status=1
(cd "$root/build/fuzz" && ctest --output-on-failure -R fuzz) || status=1
echo "e2e ran the $(describe_wine)"
exit $status
