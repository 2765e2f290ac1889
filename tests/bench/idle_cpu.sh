#!/usr/bin/env bash
# Starts Pellorin.exe (the build this machine runs) under Wine on a virtual display, leaves it idle
# (both timers ticking, nothing to do) and prints the CPU time its process
# used. Usage: idle_cpu.sh [seconds, default 60]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
seconds=${1:-60}

. "$root/scripts/wine-desktop.sh"
select_wine "$root"
folder=$(mktemp -d)
cp "$windows_dist/Pellorin.exe" "$folder/"
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
awk -v t=$((after - before)) -v hz="$hz" -v s="$seconds" \
  'BEGIN { printf "Pellorin idle for %d s: %.2f s of CPU (%.3f%%)\n", s, t / hz, 100 * t / hz / s }'
