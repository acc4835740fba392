#!/usr/bin/env bash
# The remover on a machine image whose Wine server is running: the real
# program on a private Xvfb display, a real persistent wineserver for the
# image. The run must end with the standard report naming the cause, leave
# system.reg byte for byte, and a second run after the server has ended must
# complete the removal. Screenshots stay in <output-folder>.
#
#   registry_safety.sh <Busprobe> <Busclean> <output-folder>
#
# Ends with status 77 (skipped) when Wine's server is not installed.
set -uo pipefail
wineserver=
for w in /usr/lib/wine/wineserver "$(command -v wineserver 2>/dev/null)"; do
  [ -n "$w" ] && [ -x "$w" ] && { wineserver=$w; break; }
done
[ -n "$wineserver" ] || { echo "skipped: Wine's server is not installed"; exit 77; }
. "$(dirname "$0")/common.sh" "$@" cmp

image="$out/image"
prefix="$image/prefix"
reg="$prefix/system.reg"
server_up=
stop_server() {  # ends the image's server, if it still runs, and waits for it
  [ -n "$server_up" ] || return 0
  WINEPREFIX="$prefix" "$wineserver" -k 2>/dev/null
  WINEPREFIX="$prefix" "$wineserver" -w 2>/dev/null
  server_up=
}
remove_server_folder() {  # Wine leaves the server's folder behind; it names this image only
  local name
  name=$(cat "$prefix/wineserver" 2>/dev/null) || return 0
  case "$name" in "" | */* | . | ..) return 0 ;; esac
  rm -rf "${TMPDIR:-/tmp}/$name/$(stat -c 'server-%D' "$prefix")-$(printf '%x' "$(stat -c '%i' "$prefix")")"
  rmdir "${TMPDIR:-/tmp}/$name" 2>/dev/null
  return 0
}
screen_cleanup_extra() {
  stop_server
  remove_server_folder
}

xdrive_start_xvfb || exit 1
"$root/tools/demo-image" "$image" "$probe" "$clean" >/dev/null || exit 1

# Ticks the device, presses "Uninstall" and answers Yes; prints the window
# that comes next (the run's outcome).
uninstall() {  # uninstall <pid> <main window>
  xdrive_click "$2" 30 214  # the device check box
  sleep 0.3
  xdrive_click "$2" 379 202  # "Uninstall"
  local confirm
  confirm=$(xdrive_wait_windows "$1" 2) || return 1
  [ "$(xdrive_title "$confirm")" = "Uninstall driver" ] || return 1
  xdotool key Return
  # The confirmation goes, and the outcome's box takes its place.
  local ids
  for _ in $(seq 200); do
    ids=$(xdrive_windows "$1")
    if ! grep -qx "$confirm" <<<"$ids" && [ "$(grep -c . <<<"$ids")" -eq 2 ]; then
      tail -n1 <<<"$ids"
      return 0
    fi
    kill -0 "$1" 2>/dev/null || return 1
    sleep 0.05
  done
  return 1
}

# --- a Wine server runs for the image ----------------------------------------
WINEPREFIX="$prefix" "$wineserver" -p || { echo "FAIL the Wine server did not start"; exit 1; }
server_up=1
server_socket() {  # the socket of the image's server, in the folder the prefix names
  local folder
  folder="${TMPDIR:-/tmp}/$(cat "$prefix/wineserver" 2>/dev/null)/$(stat -c 'server-%D' "$prefix")-$(printf '%x' "$(stat -c '%i' "$prefix")")"
  [ -S "$folder/socket" ]
}
check "the Wine server for the image runs" server_socket
cp "$reg" "$out/system.reg.before"

screen_start_remover "$image" "$out/busclean-in-use.log"
report=$(uninstall "$pid" "$main")
need "$report" "the box after the confirmation"
title=$(xdrive_title "$report")
check "the run ends with the standard report titled with the program's name (got \"$title\")" \
  [ "$title" = "Busclean" ]
check "the report is no restart question" [ "$title" != "Restart" ]
sleep 0.3
xdrive_shot "$report" "$out/in-use-report.png"
xdotool key Return
check "answering the report ends the remover" xdrive_wait_exit "$pid"
check "the report names the cause and the remedy" \
  grep -q "Run-time error '70': The machine image is in use by Wine" "$out/busclean-in-use.log"
check "the report says how to end the server" grep -q 'run "wineserver -k" for it, and try again' \
  "$out/busclean-in-use.log"
check "system.reg is byte for byte as before" cmp -s "$reg" "$out/system.reg.before"
check "the adapter's keys are still in system.reg" grep -q 'VID_0E4B' "$reg"
check "the run ended in the registry step: the driver files stay" \
  [ -e "$prefix/drive_c/windows/system/QRXSER.VXD" ]

# --- the server ended: a second run completes the removal --------------------
stop_server
screen_start_remover "$image" "$out/busclean-again.log"
restart=$(uninstall "$pid" "$main")
need "$restart" "the box after the confirmation"
check "the second run ends with the restart question" [ "$(xdrive_title "$restart")" = "Restart" ]
sleep 0.3
xdrive_shot "$restart" "$out/again-restart.png"
xdotool key n
check "answering N ends the remover" xdrive_wait_exit "$pid"
check "the adapter's keys are gone from system.reg" \
  bash -c "! grep -qE 'VID_0E4B|QRXPORT|QRXSERIAL|QRX Port Monitor' '$reg'"
check "the other devices stay in system.reg" \
  bash -c "grep -q 'VID_046D' '$reg' && grep -q 'Local Port' '$reg'"
check "the driver files are gone" [ ! -e "$prefix/drive_c/windows/system/QRXSER.VXD" ]

echo "screenshots in $out"
screen_finish "registry safety"
