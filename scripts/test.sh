#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the native
# unit tests, the end-to-end tests under Wine, and a bounded fuzz run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)
started=$SECONDS

"$root/scripts/install-deps.sh" all
. "$root/scripts/which-wine.sh"
select_wine "$root"

echo "== Windows programs (32-bit, what ships) into dist/"
PELLORIN_WERROR=ON "$root/scripts/build-windows.sh" 32

echo "== Windows programs (64-bit) into build/win64/dist/"
PELLORIN_WERROR=ON "$root/scripts/build-windows.sh" 64

# The end-to-end tests run a build of their own: the same program, whose
# update check asks the tests' own web server on 127.0.0.1.
e2e_build=$root/build/e2e-win$wine_bits
echo "== Windows programs ($wine_bits-bit) for the end-to-end tests into $e2e_build/dist/"
toolchain=$([ "$wine_bits" = 64 ] && echo mingw-x86_64 || echo mingw-i686)
cmake -S "$root" -B "$e2e_build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/$toolchain.cmake" -DCMAKE_BUILD_TYPE=Release \
  -DPELLORIN_WERROR=ON -DPELLORIN_DIST_DIR="$e2e_build/dist" \
  -DPELLORIN_UPDATE_URL="$(python3 "$root/tests/e2e/e2e.py" update-url)" >/dev/null
cmake --build "$e2e_build" -j"$jobs"

echo "== Native logic and unit tests"
cmake -S "$root" -B "$root/build/native" -DPELLORIN_WERROR=ON -DPELLORIN_E2E=ON \
  -DPELLORIN_DIST_DIR="$e2e_build/dist" -DPELLORIN_E2E_TOOLS_DIR="$e2e_build/tests/e2e/tools" \
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
echo "e2e ran the $(describe_wine); everything took $((SECONDS - started)) s"
exit $status
