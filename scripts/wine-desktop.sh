# Sourced by the scripts that run Pellorin under Wine: one prefix under
# build/ for each width, and a virtual display when there is no real one.
. "$(dirname "${BASH_SOURCE[0]}")/which-wine.sh"

# Needs select_wine first.
prepare_wine_prefix() {
  export WINEDEBUG=-all
  export WINEPREFIX="${WINEPREFIX:-$1/build/wineprefix$wine_suffix}"
  if [ ! -d "$WINEPREFIX" ]; then
    echo "Preparing a $wine_bits-bit Wine prefix in $WINEPREFIX (once)..."
    "$wine_loader" wineboot -i >/dev/null 2>&1
  fi
}

# Starts Xvfb on a display it picks itself as free; stop_wine_and_display ends it.
start_virtual_display() {
  local numbers
  numbers=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$numbers" >/dev/null 2>&1 &
  virtual_display_pid=$!
  local _
  for _ in $(seq 1 100); do
    if [ -s "$numbers" ]; then break; fi
    sleep 0.1
  done
  if [ ! -s "$numbers" ]; then
    rm -f "$numbers"
    echo "Xvfb did not start" >&2
    return 1
  fi
  export DISPLAY=":$(head -n1 "$numbers")"
  rm -f "$numbers"
}

stop_wine_and_display() {
  wineserver -k 2>/dev/null || true
  if [ -n "${virtual_display_pid:-}" ]; then
    kill "$virtual_display_pid" 2>/dev/null || true
  fi
}
