#!/usr/bin/env bash
# Keys on the remover's "Uninstall driver" confirmation, as real X key events
# (XTest, to the window that has the input focus) on a private Xvfb display
# and a fresh demo machine image: keys that mean something else on the
# desktop (Alt+Space, Ctrl+Space, Alt+Return, Ctrl+Return) never confirm the
# removal; Right then Return answers No; plain Return on Yes removes.
# Screenshots stay in <output-folder>.
#
#   key_safety.sh <Busprobe> <Busclean> <output-folder>
set -uo pipefail
. "$(dirname "$0")/common.sh" "$@" md5sum

xdrive_start_xvfb || exit 1

# Every file of the machine image (the prefix, system.reg included) with its checksum.
machine_state() { (cd "$1/prefix" && find . -type f -print0 | sort -z | xargs -0 md5sum); }

# A fresh image with the remover started, the device ticked and "Uninstall"
# pressed; sets image, pid, main and confirm.
open_confirmation() {
  image="$out/$1"
  "$root/tools/demo-image" "$image" "$probe" "$clean" >/dev/null || exit 1
  screen_start_remover "$image" "$out/$1.log"
  sleep 0.3
  xdrive_click "$main" 30 214  # the device check box
  sleep 0.3
  machine_state "$image" >"$out/$1.before"
  xdrive_click "$main" 379 202  # "Uninstall"
  confirm=$(xdrive_wait_windows "$pid" 2)
  need "$confirm" "the confirmation box"
  check "$1: the confirmation box is up" [ "$(xdrive_title "$confirm")" = "Uninstall driver" ]
  # The keys below go where the X server sends them: to the focused window.
  for _ in $(seq 40); do
    [ "$(xdotool getwindowfocus 2>/dev/null)" = "$confirm" ] && break
    sleep 0.05
  done
  check "$1: the confirmation box has the input focus" [ "$(xdotool getwindowfocus)" = "$confirm" ]
}
# Waits (up to 20 s) for a window of the process titled so; prints it.
wait_title() {
  local w
  for _ in $(seq 400); do
    for w in $(xdrive_windows "$pid"); do
      [ "$(xdrive_title "$w")" = "$1" ] && { echo "$w"; return 0; }
    done
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.05
  done
  return 1
}
unchanged() { machine_state "$image" | cmp -s - "$out/$1.before"; }
box_open() { xdrive_windows "$pid" | grep -qx "$confirm" && [ "$(xdrive_title "$confirm")" = "Uninstall driver" ]; }

# --- keys that mean something else, with the focus on Yes ---------------------
open_confirmation modifiers
sleep 0.3
xdrive_shot "$confirm" "$out/focus-yes.png"
for key in alt+space ctrl+space alt+Return ctrl+Return alt+KP_Enter ctrl+alt+space Escape; do
  xdotool key "$key"
  sleep 0.5
  check "$key on Yes leaves the box open" box_open
  check "$key on Yes removes nothing (files and system.reg unchanged)" unchanged modifiers
done

# --- Right moves the focus to No; Return answers No ---------------------------
xdotool key Right
sleep 0.4
xdrive_shot "$confirm" "$out/focus-no.png"
check "Right only moves the focus" box_open
check "the focus look moved off Yes" bash -c "! cmp -s '$out/focus-yes.png' '$out/focus-no.png'"
xdotool key Return
check "Right then Return answers No: the remover ends" xdrive_wait_exit "$pid"
check "the remover ends with status 0" [ "${XDRIVE_STATUS:-1}" -eq 0 ]
check "answering No removed nothing (files and system.reg unchanged)" unchanged modifiers

# --- the control case: plain Return on Yes removes ------------------------------
open_confirmation plain
xdotool key Return
restart=$(wait_title Restart)
check "plain Return on Yes runs the removal up to the restart question" [ -n "$restart" ]
win="$image/prefix/drive_c/windows"
check "the removal deleted the adapter's driver" [ ! -e "$win/system/QRXSER.VXD" ]
check "the removal changed system.reg" bash -c "! grep -q 'VID_0E4B' '$image/prefix/system.reg'"
xdotool key n
check "answering N ends the remover" xdrive_wait_exit "$pid"

echo "screenshots in $out"
screen_finish "key"
