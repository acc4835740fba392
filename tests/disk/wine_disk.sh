#!/usr/bin/env bash
# The Windows driver disk package as it ships: unpacked into a fresh folder that
# becomes the A: drive of a fresh Wine prefix under a private Xvfb; the checker
# and the remover run from it, the remover through a complete removal of the
# adapter installed on the NT registry layout.
#
#   wine_disk.sh <package.zip> <windows build dir> <work dir>
#
# The package must not be older than the Windows build's programs.
set -uo pipefail
package=$(realpath -m "$1"); win_build=$(realpath "$2"); work=$(realpath -m "$3")
root=$(cd "$(dirname "$0")/../.." && pwd)
. "$root/tests/wine/common.sh"
. "$root/tests/disk/disk_checks.sh"

disk_check_package "$package" "$win_build/checker/Busprobe.exe" "$win_build/remover/Busclean.exe" || exit 1
disk=$(disk_unpack "$package" "$work/unpacked") || exit 1
disk_check_contents "$disk"
check "the programs on the disk carry their manifests" python3 "$root/tests/windows/check_manifest.py" \
    "$disk/BUSPROBE.EXE" asInvoker "$disk/BUSCLEAN.EXE" requireAdministrator
(cd "$disk" && sha256sum -- *) > "$work/disk-before.txt"

prefix=$work/prefix
make_prefix "$prefix" "$disk"

# --- the checker: its brand window needs Busprobe.dat -------------------------
reg add 'HKLM\Enum\USB\ROOT_HUB\PCI&VEN_8086&DEV_7112' /f
check "the checker starts from the disk; closing its result window ends it" run_checker disk
check "the checker finds the root hub" test "$(verdict_colour disk '#00FF00')" -gt 200
reg delete 'HKLM\Enum' /f

# --- the remover: its window needs Unins.dat; tick, Uninstall, Yes, OK --------
key_there() { WINEPREFIX=$prefix "$wine" reg query "HKLM\\SYSTEM\\CurrentControlSet\\Enum\\$1" > /dev/null 2>&1; }
key_gone() { ! key_there "$1"; }
install_adapter "$prefix"
check "the adapter is installed" key_there 'USB\VID_0E4B&PID_0204'

# --- the preview from the disk: what a removal would take, nothing taken --------
(cd "$prefix/drive_c" && WINEPREFIX=$prefix "$wine" 'A:\BUSVIEW.EXE' 'A:\Unins.dat' --machine \
    > "$work/busview.txt" 2> /dev/null)
view_status=$?
tr -d '\r' < "$work/busview.txt" > "$work/busview-lf.txt"
check "the preview runs from the disk and accepts the script" test "$view_status" -eq 0
check "... it reads the NT layout" grep -q 'Registry layout: NT' "$work/busview-lf.txt"
check "... it would delete the adapter's USB key" grep -qF 'delete key SYSTEM\CurrentControlSet\Enum\USB\VID_0E4B&PID_0204' \
    "$work/busview-lf.txt"
check "... and deleted nothing" key_there 'USB\VID_0E4B&PID_0204'
settle "$prefix"

start_remover
check "the remover's window shows" test -n "$remover_window"
xdotool windowfocus --sync "$remover_window" 2>/dev/null
xdotool key --window "$remover_window" Tab space Tab Tab Return   # Check1, Picture1, Uninstall
check "Uninstall asks for confirmation (the driver was found)" answer_box "Uninstall driver" Return disk-confirm
check "the restart notice of the NT layout" answer_box Restart Return disk-notice
check "the remover ends after the notice" wait_gone "$remover"
settle "$prefix"

check "the enumerator key is gone" key_gone KELVARN
for id in 0201 0202 0203 0204; do
    check "the adapter's USB key PID_$id is gone" key_gone "USB\\VID_0E4B&PID_$id"
done
check "the mouse's USB key stays" key_there 'USB\VID_046D&PID_C00E'
check "another device's USB key stays" key_there 'USB\VID_AAAA&PID_0001'
check "the root hub stays" key_there 'USB\ROOT_HUB'
win=$prefix/drive_c/windows
check "the adapter's files are gone" test ! -e "$win/system32/drivers/QRXUSB.SYS" -a ! -e "$win/inf/QRXSER.INF" \
    -a ! -e "$win/inf/QRXPORT.INF"
check "other files stay" test -e "$win/inf/MSPORTS.INF" -a -e "$prefix/drive_c/victim.txt" -a -e "$win/system32/kernel32.dll"
check "the driver disk is as it was unpacked" diff -u "$work/disk-before.txt" <(cd "$disk" && sha256sum -- *)

echo "screenshots: $work/shots"
wine_finish
