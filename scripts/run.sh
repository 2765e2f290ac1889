#!/usr/bin/env bash
# Builds Pellorin and starts it under Wine. With no display it starts a
# virtual one, saves a screenshot of the main window and stops the program;
# it fails when the main window never shows.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

"$root/scripts/install-deps.sh" run
. "$root/scripts/wine-desktop.sh"
select_wine "$root"
if [ "$wine_bits" = 64 ]; then
  echo "Running the $(describe_wine)"
fi
"$root/scripts/build-windows.sh" "$wine_bits"

# The program keeps its settings beside itself: run a copy, so the program
# folder stays clean to hand out, while settings survive from one run to the next.
folder="$root/build/run$wine_suffix"
mkdir -p "$folder"
cp -r "$windows_dist/." "$folder/"

if [ -n "${DISPLAY:-}" ]; then
  prepare_wine_prefix "$root"
  exec "$wine_loader" "$folder/Pellorin.exe"
fi

# The display comes first: Wine's desktop process, started with the prefix,
# stays on the display it found then.
start_virtual_display
trap stop_wine_and_display EXIT
prepare_wine_prefix "$root"

"$wine_loader" "$folder/Pellorin.exe" &
# The window by its caption, as the launcher finds it.
main_window() {
  xwininfo -root -tree 2>/dev/null | awk '/"Pellorin"/ {print $1; exit}'
}
id=""
for _ in $(seq 1 120); do
  id=$(main_window)
  if [ -n "$id" ]; then break; fi
  sleep 0.5
done
if [ -z "$id" ]; then
  echo "No display: Pellorin started on a virtual one, but its main window never showed" >&2
  exit 1
fi
sleep 1  # its controls are filled in once start-up is done
mkdir -p "$root/screenshots"
shot="$root/screenshots/pellorin.png"
rm -f "$shot"
import -window "$id" "$shot"
echo "No display: Pellorin ran on a virtual one; its main window is in $shot"
