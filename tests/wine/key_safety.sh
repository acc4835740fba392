#!/usr/bin/env bash
# The cross-built remover under Wine: keys on the system's "Uninstall driver"
# message box, as real X key events to the focused box. Ctrl+Return,
# Ctrl+Space and Alt+Return leave it open with nothing removed; Right then
# Return answers No; plain Return on Yes removes. Wine takes its time with a
# key, so each one gets a few seconds before the machine is looked at.
#
#   key_safety.sh <windows build dir> <work dir>
set -uo pipefail
win_build=$(realpath "$1"); work=$(realpath -m "$2")
here=$(cd "$(dirname "$0")" && pwd)
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine=$(command -v wine || echo /usr/lib/wine/wine64)

failures=0
check() {  # check <description> <command...>
  local what=$1
  shift
  if "$@"; then echo "ok   $what"; else echo "FAIL $what"; failures=$((failures + 1)); fi
}

rm -rf "$work"; mkdir -p "$work/shots" "$work/disk"
for n in $(seq 121 160); do [ -e /tmp/.X11-unix/X$n ] || { display=:$n; break; }; done
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp > "$work/xvfb.log" 2>&1 &
xvfb=$!
export DISPLAY=$display
prefix=$work/prefix
trap 'kill $xvfb 2>/dev/null; WINEPREFIX=$prefix wineserver -k 2>/dev/null' EXIT
for _ in $(seq 50); do xdpyinfo > /dev/null 2>&1 && break; sleep 0.1; done

WINEPREFIX=$prefix "$wine" wineboot -i > "$work/wineboot.log" 2>&1
WINEPREFIX=$prefix wineserver -w
ln -sfn "$work/disk" "$prefix/dosdevices/a:"
cp "$win_build/remover/Busclean.exe" "$work/disk/BUSCLEAN.EXE"
{
  printf '%s\r\n' 'A:\BUSPROBE.EXE' "USB Adapter Driver Removal" "Version 1.0" "Tarnwick Devices Inc." \
    "Tel +1 555 0100" "Fax +1 555 0101" "support@tarnwick.example" "[InternetShortcut]" \
    "URL=http://www.tarnwick.example/" 1 "USB to Serial Adapter" "" x VID_0E4B "=========="
  for _ in $(seq 16 35); do printf '\r\n'; done
  printf '%s\r\n' "[Delete Registry]" "unused" "[Delete System32]" "QRXUSB.SYS" "[Delete Inf]" "QRX*.INF"
  for _ in $(seq 42 145); do printf '\r\n'; done
} > "$work/disk/Unins.dat"

driver=$prefix/drive_c/windows/system32/drivers/QRXUSB.SYS
adapter_key() { WINEPREFIX=$prefix "$wine" reg query 'HKLM\SYSTEM\CurrentControlSet\Enum\KELVARN' > /dev/null 2>&1; }
box() { xdotool search --onlyvisible --name '^Uninstall driver$' 2>/dev/null | tail -1; }

# The adapter installed, the remover started, the device ticked and
# "Uninstall" pressed: the confirmation box has the focus, on Yes.
open_confirmation() {
  WINEPREFIX=$prefix "$wine" reg import "Z:${here//\//\\}\\adapter-nt.reg" > /dev/null 2>&1
  mkdir -p "$(dirname "$driver")" "$prefix/drive_c/windows/inf"
  echo driver > "$driver"
  echo inf > "$prefix/drive_c/windows/inf/QRXSER.INF"
  WINEPREFIX=$prefix wineserver -w
  (cd "$prefix/drive_c" && WINEPREFIX=$prefix "$wine" 'A:\BUSCLEAN.EXE' > /dev/null 2>&1) &
  remover=$!
  local w="" b=""
  for _ in $(seq 100); do w=$(xdotool search --onlyvisible --class busclean.exe 2>/dev/null | tail -1); [ -n "$w" ] && break; sleep 0.2; done
  [ -n "$w" ] || { echo "FAIL the remover window did not appear"; exit 1; }
  sleep 1
  xdotool windowfocus --sync "$w" 2>/dev/null
  xdotool key --window "$w" Tab space Tab Tab Return   # Exit -> Check1 (tick) -> Picture1 -> Uninstall
  for _ in $(seq 100); do b=$(box); [ -n "$b" ] && break; sleep 0.2; done
  [ -n "$b" ] || { echo "FAIL the confirmation box did not appear"; exit 1; }
  xdotool windowfocus --sync "$b" 2>/dev/null
  sleep 2
}
press() { xdotool key "$1"; sleep 3; }
still_asking() { [ -n "$(box)" ] && [ -e "$driver" ] && adapter_key; }
gone() { for _ in $(seq 100); do kill -0 "$1" 2>/dev/null || return 0; sleep 0.2; done; return 1; }

open_confirmation
for key in ctrl+Return ctrl+space alt+Return; do
  press "$key"
  check "$key on Yes leaves the box open and removes nothing" still_asking
done
press Right
import -window root "$work/shots/focus-no.png"
check "Right only moves the focus" still_asking
press Return
check "Right then Return answers No: the remover ends" gone "$remover"
check "answering No removed nothing" bash -c "[ -e '$driver' ] && WINEPREFIX='$prefix' '$wine' reg query 'HKLM\\SYSTEM\\CurrentControlSet\\Enum\\KELVARN' > /dev/null 2>&1"
WINEPREFIX=$prefix wineserver -w

open_confirmation
press Return
check "plain Return on Yes removes the driver" test ! -e "$driver"
WINEPREFIX=$prefix wineserver -k 2>/dev/null

echo "screenshots: $work/shots"
[ "$failures" -eq 0 ] || { echo "$failures key checks failed"; exit 1; }
