#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the native
# unit tests, the end-to-end tests under Wine (on each width this machine can
# run), bounded fuzz runs, and the run command as a user without a display
# would start it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)
started=$SECONDS
step() { echo "== $* (at $((SECONDS - started)) s)"; }

"$root/scripts/install-deps.sh" all
. "$root/scripts/which-wine.sh"
select_wine "$root"

step "Windows programs (32-bit, what ships) into dist/"
PELLORIN_WERROR=ON "$root/scripts/build-windows.sh" 32

# What ships stays small, as a tray tool should: a size that creeps past
# these limits is a regression to look into (a link map shows what came in).
status=0
for limit in "Pellorin.exe 307200" "rovudir.exe 73728"; do
  read -r name most <<<"$limit"
  size=$(stat -c %s "$root/dist/$name")
  echo "dist/$name: $size bytes (limit $most)"
  if [ "$size" -gt "$most" ]; then
    echo "dist/$name is larger than $most bytes"
    status=1
  fi
done

# The end-to-end tests run builds of their own: the same program, whose
# update check asks the tests' own web server on 127.0.0.1. Every machine
# runs the 64-bit one, whose build keeps the code 64-bit clean.
for bits in $e2e_widths; do
  step "Windows programs ($bits-bit) for the end-to-end tests into build/e2e-win$bits/dist/"
  "$root/scripts/build-windows.sh" "$bits" e2e
done

step "Native logic and unit tests"
# Optimised as RelWithDebInfo is, without its debug information, which a
# test run never reads and which takes a sixth of the build.
cmake -S "$root" -B "$root/build/native" -DPELLORIN_WERROR=ON -DPELLORIN_E2E=ON \
  -DPELLORIN_E2E_WIDTHS="${e2e_widths// /;}" -DCMAKE_BUILD_TYPE=Release \
  "-DCMAKE_CXX_FLAGS_RELEASE=-O2 -DNDEBUG" >/dev/null
cmake --build "$root/build/native" -j"$jobs"

step "Fuzzers (clang)"
cmake -S "$root" -B "$root/build/fuzz" -DCMAKE_CXX_COMPILER=clang++-14 >/dev/null
# The fuzzers alone: the rest is built and tested with gcc above.
cmake --build "$root/build/fuzz" -j"$jobs" --target field_reader_fuzz page_reader_fuzz

step "Unit tests"
(cd "$root/build/native" && ctest --output-on-failure -LE e2e) || status=1
for bits in $e2e_widths; do
  step "End-to-end tests"
  echo "e2e: $(describe_wine "$bits")"
  (cd "$root/build/native" && ctest --output-on-failure -L "e2e$bits") || status=1
done
step "Fuzz runs, side by side"
(cd "$root/build/fuzz" && ctest --output-on-failure -j2 -R fuzz) || status=1

# The README's run command, as a user without a display starts it: it must
# end well and leave a picture of the main window, not an empty screen.
step "The run command, without a display"
shot=$root/screenshots/pellorin.png
# (Built as the tests' build of the width was, it takes that build's objects.)
if env -u DISPLAY PELLORIN_WERROR=ON "$root/scripts/run.sh" >"$root/build/run.log" 2>&1; then
  size=$(identify -format '%wx%h' "$shot" 2>/dev/null || echo none)
  colours=$(identify -format '%k' "$shot" 2>/dev/null || echo 0)
  width=${size%x*} height=${size#*x}
  if [ "$size" = none ] || [ "$width" -lt 200 ] || [ "$height" -lt 300 ] || [ "$colours" -lt 16 ]; then
    echo "run.sh left no picture of the main window in $shot: $size, $colours colours"
    status=1
  else
    echo "run.sh: main window shown, $shot is $size with $colours colours"
  fi
else
  cat "$root/build/run.log"
  echo "run.sh failed"
  status=1
fi

for bits in $e2e_widths; do echo "e2e ran the $(describe_wine "$bits")"; done
echo "everything took $((SECONDS - started)) s"
exit $status
