#!/usr/bin/env bash
# Takes the README's pictures from the real program under Wine, on a virtual
# display of its own, into docs/: run it again after a change to a window.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

"$root/scripts/install-deps.sh" all
. "$root/scripts/which-wine.sh"
select_wine "$root"
# The update window's verdict needs a version page: the tests' build asks
# the tests' own web server for it.
"$root/scripts/build-windows.sh" "$wine_bits" e2e
build=$root/build/e2e-win$wine_bits

state=$(mktemp -d)
e2e=(python3 "$root/tests/e2e/e2e.py" --state "$state/state.json")
trap '"${e2e[@]}" cleanup >/dev/null; rm -rf "$state"' EXIT
"${e2e[@]}" --tools "$build/tests/e2e/tools" --bits "$wine_bits" setup
"${e2e[@]}" --exe "$build/dist/Pellorin.exe" pictures "$root/docs"
