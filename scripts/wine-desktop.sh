# Sourced by the scripts that run Pellorin under Wine: one prefix under
# build/ for each width, and a virtual display when there is no real one.
. "$(dirname "${BASH_SOURCE[0]}")/which-wine.sh"

# Needs select_wine first.
prepare_wine_prefix() {
  export WINEDEBUG=-all
  export WINEPREFIX="${WINEPREFIX:-$1/build/wineprefix$([ "$wine_bits" = 64 ] && echo 64)}"
  if [ ! -d "$WINEPREFIX" ]; then
    echo "Preparing a $wine_bits-bit Wine prefix in $WINEPREFIX (once)..."
    "$wine_loader" wineboot -i >/dev/null 2>&1
  fi
}

# Starts Xvfb on a free-looking display; stop_wine_and_display ends it.
start_virtual_display() {
  local display=":$(( 90 + RANDOM % 200 ))"
  Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  virtual_display_pid=$!
  export DISPLAY=$display
  sleep 1
}

stop_wine_and_display() {
  wineserver -k 2>/dev/null || true
  [ -z "${virtual_display_pid:-}" ] || kill "$virtual_display_pid" 2>/dev/null || true
}
