#!/usr/bin/env bash
# Starts Pellorin.exe (the build this machine runs) under Wine on a virtual display, leaves it idle
# (both timers ticking, nothing to do) and prints the CPU time its process
# used and its private memory at the end. Usage:
#   idle_cpu.sh [seconds, default 60] [Pellorin.exe, default the build's]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
seconds=${1:-60}

. "$root/scripts/wine-desktop.sh"
select_wine "$root"
folder=$(mktemp -d)
cp "${2:-$windows_dist/Pellorin.exe}" "$folder/Pellorin.exe"
# The display first: Wine's desktop process stays on the one it finds.
start_virtual_display
trap 'stop_wine_and_display; rm -rf "$folder"' EXIT
prepare_wine_prefix "$root"

"$wine_loader" "$folder/Pellorin.exe" >/dev/null 2>&1 &
pid=""
for _ in $(seq 1 100); do
  pid=$(pgrep -n -x Pellorin.exe || true)
  if [ -n "$pid" ]; then break; fi
  sleep 0.1
done
if [ -z "$pid" ]; then
  echo "Pellorin did not start"
  exit 1
fi
sleep 5  # past start-up

ticks() { awk '{print $14 + $15}' "/proc/$pid/stat"; }
hz=$(getconf CLK_TCK)
before=$(ticks)
sleep "$seconds"
after=$(ticks)
# Private memory as Linux counts it (the pages the process wrote): Wine
# reports none for another process.
private=$(awk '/^Private_Dirty:/ {print $2}' "/proc/$pid/smaps_rollup")
awk -v t=$((after - before)) -v hz="$hz" -v s="$seconds" -v p="$private" \
  'BEGIN { printf "Pellorin idle for %d s: %.2f s of CPU (%.3f%%), %d KB private memory\n", s, t / hz, 100 * t / hz / s, p }'
