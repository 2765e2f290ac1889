#!/usr/bin/env bash
# Builds Pellorin and starts it under Wine. With no display it starts a
# virtual one, saves a screenshot of the main window and stops the program.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

"$root/scripts/install-deps.sh" run
. "$root/scripts/wine-desktop.sh"
select_wine "$root"
[ "$wine_bits" = 32 ] || echo "Running the $(describe_wine)"
"$root/scripts/build-windows.sh" "$wine_bits"

# The program keeps its settings beside itself: run a copy, so the program
# folder stays clean to hand out, while settings survive from one run to the next.
folder="$root/build/run$([ "$wine_bits" = 64 ] && echo 64)"
mkdir -p "$folder"
cp -r "$windows_dist/." "$folder/"

prepare_wine_prefix "$root"

if [ -n "${DISPLAY:-}" ]; then
  exec "$wine_loader" "$folder/Pellorin.exe"
fi

start_virtual_display
trap stop_wine_and_display EXIT

"$wine_loader" "$folder/Pellorin.exe" &
for _ in $(seq 1 60); do
  xwininfo -root -tree 2>/dev/null | grep -q '"Pellorin"' && break
  sleep 0.5
done
sleep 1
mkdir -p "$root/screenshots"
shot="$root/screenshots/pellorin.png"
id=$(xwininfo -root -tree | awk '/"Pellorin"/ {print $1; exit}')
import -window "${id:-root}" "$shot"
echo "No display: Pellorin ran on a virtual one; its main window is in $shot"
