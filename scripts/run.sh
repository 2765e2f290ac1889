#!/usr/bin/env bash
# Builds Pellorin and starts it under Wine. With no display it starts a
# virtual one, saves a screenshot of the main window and stops the program.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

"$root/scripts/install-deps.sh" run
"$root/scripts/build-windows.sh"

# The program keeps its settings beside itself: run a copy, so dist/ stays a
# clean folder to hand out, while settings survive from one run to the next.
folder="$root/build/run"
mkdir -p "$folder"
cp "$root/dist/"*.exe "$folder/"

export WINEDEBUG=-all
export WINEPREFIX="${WINEPREFIX:-$root/build/wineprefix}"
if [ ! -d "$WINEPREFIX" ]; then
  echo "Preparing a Wine prefix in $WINEPREFIX (once)..."
  wineboot -i >/dev/null 2>&1
fi

if [ -n "${DISPLAY:-}" ]; then
  exec wine "$folder/Pellorin.exe"
fi

display=:$(( 90 + RANDOM % 100 ))
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'wineserver -k 2>/dev/null || true; kill $xvfb 2>/dev/null || true' EXIT
export DISPLAY=$display
sleep 1

wine "$folder/Pellorin.exe" &
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
