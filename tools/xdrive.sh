# Helpers for driving the programs on an X display with real X input
# (xdotool), shared by tools/demo and the screen tests. Source it.

# Starts a private Xvfb on a free display number and exports DISPLAY.
# XVFB_PID names the server; stop it with xdrive_stop_xvfb. With XDRIVE_DPI
# set (120, 144, 192, ...) the screen has that density, twice the pixels at
# 192, and the desktop's setting Xft.dpi says so (through xrdb), as a
# desktop at that density would.
xdrive_start_xvfb() {
  local fdfile dpi=${XDRIVE_DPI:-96} keep=()
  fdfile=$(mktemp)
  # The server would forget the setting when xrdb, its only client, leaves.
  [ "$dpi" != 96 ] && keep=(-noreset)
  Xvfb -displayfd 3 -screen 0 "$((1024 * dpi / 96))x$((768 * dpi / 96))x24" -dpi "$dpi" "${keep[@]}" -nolisten tcp \
    3>"$fdfile" >/dev/null 2>&1 &
  XVFB_PID=$!
  for _ in $(seq 100); do
    [ -s "$fdfile" ] && break
    sleep 0.05
  done
  if [ ! -s "$fdfile" ]; then
    echo "Xvfb did not start" >&2
    rm -f "$fdfile"
    return 1
  fi
  export DISPLAY=":$(head -n1 "$fdfile")"
  rm -f "$fdfile"
  if [ "$dpi" != 96 ]; then
    echo "Xft.dpi: $dpi" | xrdb -merge - || { echo "xrdb could not set Xft.dpi" >&2; return 1; }
  fi
}

# A distance in pixels of the standard density (96 dpi) at XDRIVE_DPI.
xdrive_px() { echo $(($1 * ${XDRIVE_DPI:-96} / 96)); }

xdrive_stop_xvfb() {
  if [ -n "${XVFB_PID:-}" ]; then
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
    XVFB_PID=
  fi
}

# The visible windows of a process, oldest first.
xdrive_windows() { xdotool search --onlyvisible --pid "$1" 2>/dev/null | sort -n || true; }

# Waits (up to 10 s) until the process shows exactly N windows; prints the newest.
xdrive_wait_windows() {
  local pid=$1 n=$2 ids
  for _ in $(seq 400); do
    ids=$(xdrive_windows "$pid")
    if [ "$(printf '%s' "$ids" | grep -c .)" -eq "$n" ]; then
      printf '%s\n' "$ids" | tail -n1
      return 0
    fi
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.025
  done
  echo "expected $n windows of process $pid, found: $(xdrive_windows "$pid" | tr '\n' ' ')" >&2
  return 1
}

# Waits (up to 10 s) for a process to end; its exit status is in XDRIVE_STATUS.
xdrive_wait_exit() {
  local pid=$1
  for _ in $(seq 200); do
    if ! kill -0 "$pid" 2>/dev/null; then
      XDRIVE_STATUS=0
      wait "$pid" || XDRIVE_STATUS=$?
      return 0
    fi
    sleep 0.05
  done
  echo "process $pid did not end" >&2
  return 1
}

# A window's outer geometry: "x y width height".
xdrive_geometry() {
  [ -n "$1" ] || { echo "0 0 0 0"; return 1; }
  xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4}
                            /^ *Width:/ {w=$2} /^ *Height:/ {h=$2} END {print x, y, w, h}'
}

# The window's title (WM_NAME) exactly, spaces included.
xdrive_title() { xprop -id "$1" WM_NAME | sed -e 's/^[^"]*"//' -e 's/"$//'; }

# A left click at a point of a window (pixels from its top-left corner, at
# the screen's density).
xdrive_click() { xdotool mousemove --window "$1" "$2" "$3" click 1; }

# A screenshot of one window as PNG, as a person sees it (windows above it
# included), cut from the whole screen.
xdrive_shot() {
  local x y w h
  read -r x y w h < <(xdrive_geometry "$1")
  import -window root -crop "${w}x${h}+${x}+${y}" +repage "$2"
}

# Runs a program of the demo image from the driver disk with C:\ current,
# its output going to a log file; its process id is in XDRIVE_PID.
xdrive_run() {
  local image=$1 exe=$2 log=$3
  (cd "$image/prefix/drive_c" && WINEPREFIX="$image/prefix" exec "$image/disk/$exe") >"$log" 2>&1 &
  XDRIVE_PID=$!
}
