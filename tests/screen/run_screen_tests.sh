#!/usr/bin/env bash
# Screen tests: the real programs on a private Xvfb display, driven with real
# X input, on a fresh demo machine image. Screenshots stay in <output-folder>.
#
#   run_screen_tests.sh <Busprobe> <Busclean> <output-folder>
set -uo pipefail
. "$(dirname "$0")/common.sh" "$@"
near() { [ $(($1 - $2)) -le 1 ] && [ $(($2 - $1)) -le 1 ]; }
centred() {  # centred <window> <width> <height>
  local x y w h
  read -r x y w h < <(xdrive_geometry "$1")
  [ "$w" -eq "$2" ] && [ "$h" -eq "$3" ] && near "$x" $(((1024 - w) / 2)) && near "$y" $(((768 - h) / 2))
}
ms() { echo $(($(date +%s%N) / 1000000)); }
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }

# --- without a display: a clear message and status 1 -------------------------
for exe in "$probe" "$clean"; do
  msg=$(env -u DISPLAY WINEPREFIX="$out/none" "$exe" 2>&1 >/dev/null)
  status=$?
  check "$(basename "$exe") without a display ends with status 1" [ "$status" -eq 1 ]
  check "$(basename "$exe") without a display says so" grep -qi "display" <<<"$msg"
done

xdrive_start_xvfb || exit 1
image="$out/image"
"$root/tools/demo-image" "$image" "$probe" "$clean" >/dev/null || exit 1

# --- the checker: brand window, a click, the result window, close ------------
start=$(ms)
xdrive_run "$image" BUSPROBE.EXE "$out/busprobe.log"
pid=$XDRIVE_PID
logo=$(xdrive_wait_windows "$pid" 1)
need "$logo" "the brand window"
echo "     brand window shown $(($(ms) - start)) ms after start"
check "brand window is 489 x 276 plus the 3-pixel frame, centred" centred "$logo" 495 282
check "brand window asks for no decorations" grep -q "_MOTIF_WM_HINTS" <(xprop -id "$logo" _MOTIF_WM_HINTS)
check "brand window has no taskbar entry" grep -q "SKIP_TASKBAR" <(xprop -id "$logo" _NET_WM_STATE)
check "brand window is a splash window" grep -q "SPLASH" <(xprop -id "$logo" _NET_WM_WINDOW_TYPE)
check "brand window has a fixed size" grep -q "program specified minimum size: 495 by 282" \
  <(xprop -id "$logo" WM_NORMAL_HINTS)
sleep 0.3
xdrive_shot "$logo" "$out/brand.png"

clicked=$(ms)
xdrive_click "$logo" 260 100  # the company label
good=$(xdrive_wait_windows "$pid" 1)
need "$good" "the result window"
check "a click on the company label brings the result window at once" \
  [ "$good" != "$logo" ] && [ $(($(ms) - clicked)) -lt 1500 ]
check "result window is 408 x 280 plus frame and title bar, centred" centred "$good" 414 305
titles=()
for _ in 1 2 3 4 5; do
  titles+=("$(xdrive_title "$good")")
  sleep 0.1
done
distinct=$(printf '%s\n' "${titles[@]}" | sort -u | wc -l)
check "the result window's title changes every 100 ms ($distinct of 5 readings differ)" [ "$distinct" -ge 4 ]
check "the title is also in _NET_WM_NAME" grep -q "UTF8_STRING" <(xprop -id "$good" _NET_WM_NAME)
before=$(cpu_ticks "$pid")
sleep 3
used=$(($(cpu_ticks "$pid") - before))
echo "     animating result window used $used ticks of $(getconf CLK_TCK)/s in 3 s"
# A busy loop would take all 300; the bound leaves room for a loaded machine.
check "an animating result window uses little CPU" [ "$used" -le 60 ]
xdrive_shot "$good" "$out/result-good.png"
geo=($(xdrive_geometry "$good"))
xdrive_click "$good" $((geo[2] - 13)) 12  # the close box
check "closing the result window ends the checker" xdrive_wait_exit "$pid"
check "the checker ends with status 0" [ "${XDRIVE_STATUS:-1}" -eq 0 ]

# --- the checker on a machine without USB (unless this host has root hubs) ---
if ! ls /sys/bus/usb/devices/usb* >/dev/null 2>&1; then
  nousb="$out/image-nousb"
  "$root/tools/demo-image" "$nousb" "$probe" "$clean" >/dev/null
  awk '/^\[Enum\\\\USB\\\\ROOT_HUB/ {skip=1; next} /^\[/ {skip=0} !skip' "$nousb/prefix/system.reg" \
    >"$nousb/system.reg" && mv "$nousb/system.reg" "$nousb/prefix/system.reg"
  xdrive_run "$nousb" BUSPROBE.EXE "$out/busprobe-nousb.log"
  pid=$XDRIVE_PID
  logo=$(xdrive_wait_windows "$pid" 1)
  need "$logo" "the brand window"
  xdrive_click "$logo" 60 120  # the brand picture
  wrong=$(xdrive_wait_windows "$pid" 1)
  need "$wrong" "the negative result window"
  check "without a root hub the other result window shows, 409 x 280 plus frame" centred "$wrong" 415 305
  sleep 0.6
  check "the negative result flashes its title (urgency hint)" grep -q "urgency" <(
    for _ in 1 2 3 4; do xprop -id "$wrong" WM_HINTS; sleep 0.25; done)
  xdrive_shot "$wrong" "$out/result-wrong.png"
  xdotool key alt+F4
  check "Alt+F4 closes the negative result window and ends the checker" xdrive_wait_exit "$pid"
fi

# --- the remover: tick, Uninstall, Enter, N -----------------------------------
screen_start_remover "$image" "$out/busclean.log"
check "remover window is 441 x 282 plus frame and title bar, centred" centred "$main" 447 307
check "remover window has its icon" grep -q "Icon (32 x 32)" <(xprop -id "$main" _NET_WM_ICON)
sleep 0.3
xdrive_shot "$main" "$out/remover.png"
xdrive_click "$main" 30 214  # the device check box
sleep 0.3
xdrive_click "$main" 379 202  # "Uninstall"
confirm=$(xdrive_wait_windows "$pid" 2)
need "$confirm" "the confirmation box"
check "Uninstall asks for confirmation in a box of its own" [ "$(xdrive_title "$confirm")" = "Uninstall driver" ]
sleep 0.3
xdrive_shot "$confirm" "$out/confirm.png"
xdrive_click "$main" 400 270  # "Exit", behind the modal box: must do nothing
xdotool key --window "$confirm" Escape
sleep 0.5
check "the box blocks the window behind it, and Escape does not answer a Yes/No box" \
  [ "$(xdrive_windows "$pid" | wc -l)" -eq 2 ]
xdotool key Return
restart=$(xdrive_wait_windows "$pid" 2)
need "$restart" "the restart question"
check "after the removal the restart question shows" [ "$(xdrive_title "$restart")" = "Restart" ]
sleep 0.3
xdrive_shot "$restart" "$out/restart.png"
xdrive_shot "$main" "$out/remover-done.png"
xdotool key n
check "answering N ends the remover" xdrive_wait_exit "$pid"
check "the remover ends with status 0" [ "${XDRIVE_STATUS:-1}" -eq 0 ]

screen_check_removal "$image"

echo "screenshots in $out"
screen_finish "screen"
