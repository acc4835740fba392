#!/usr/bin/env bash
# The cross-built programs under Wine: a fresh Wine prefix under Xvfb, the
# driver disk mapped as A:, the registry prepared through Wine itself, the
# programs driven with real X input. Then the same removal through the Linux
# build on an identical prefix, and the two results compared.
#
#   wine_tests.sh <windows build dir> <linux build dir> <work dir>
set -uo pipefail
win_build=$(realpath "$1"); linux_build=$(realpath "$2"); work=$(realpath -m "$3")
here=$(cd "$(dirname "$0")" && pwd)
. "$here/common.sh"


mkdir -p "$work/disk"
cp "$win_build/checker/Busprobe.exe" "$work/disk/BUSPROBE.EXE"
cp "$win_build/remover/Busclean.exe" "$work/disk/BUSCLEAN.EXE"
printf '"Tarnwick Devices, Inc.","12 Mill Lane, Suite 4","+1 555 0100","+1 555 0101","support@tarnwick.example"\r\n' \
    > "$work/disk/Busprobe.dat"
{
    printf '%s\r\n' 'A:\BUSPROBE.EXE' "USB Adapter Driver Removal" "Version 1.0" "Tarnwick Devices Inc." \
        "Tel +1 555 0100" "Fax +1 555 0101" "support@tarnwick.example" "[InternetShortcut]" \
        "URL=http://www.tarnwick.example/" 1 "USB to Serial Adapter" "" x VID_0E4B PID_0201 "=========="
    for _ in $(seq 17 35); do printf '\r\n'; done
    # Besides the adapter's files, entries that reach outside their folder:
    # they must find and delete nothing.
    printf '%s\r\n' "[Delete Registry]" "unused" "[Delete System32]" "QRXUSB.SYS" '..\..\..\victim.txt' '..\*' \
        '..\..\..\users\victim\Desktop\*' 'C:\victim.txt' "[Delete Inf]" "QRX*.INF" "[Delete W2kinf]" "oem"
    for _ in $(seq 48 145); do printf '\r\n'; done
} > "$work/disk/Unins.dat"

prefix=$work/prefix
make_prefix "$prefix"
cp -a "$prefix" "$work/pristine"   # for the Linux build later

# --- the checker --------------------------------------------------------------
reg delete 'HKLM\Enum' /f
check "closing the result window ends the checker" run_checker no-hub
check "checker without the hub key shows the red verdict" test "$(verdict_colour no-hub '#FF0000')" -gt 200
check "... and not the green one" test "$(verdict_colour no-hub '#00FF00')" -lt 50

reg add 'HKLM\Enum\USB\ROOT_HUB\PCI&VEN_8086&DEV_7112' /f
run_checker hub
check "checker with a root hub shows the green verdict" test "$(verdict_colour hub '#00FF00')" -gt 200
reg delete 'HKLM\Enum' /f

# The NT layout lists USB 2.0 root hubs under a key of their own.
reg add 'HKLM\SYSTEM\CurrentControlSet\Enum\USB\ROOT_HUB20\4&2A1B3C4D&0' /f
run_checker hub20
check "checker with only a USB 2.0 root hub shows the green verdict" test "$(verdict_colour hub20 '#00FF00')" -gt 200
check "... and not the red one" test "$(verdict_colour hub20 '#FF0000')" -lt 50
reg delete 'HKLM\SYSTEM\CurrentControlSet\Enum\USB\ROOT_HUB20' /f

# --- the remover ----------------------------------------------------------------
# Uninstall without a tick.
install_adapter "$prefix"
export_keys "$prefix" "$work/enum-before.reg" > "$work/keys-before.txt"
start_remover
xdotool windowfocus --sync "$remover_window" 2>/dev/null
xdotool key --window "$remover_window" Tab Tab Tab Return   # Exit -> Check1 -> Picture1 -> Uninstall
sleep 1; shot remover-no-tick
check "no tick: the select-device box" answer_box Error Return remover-select-device
sleep 0.5
check "no tick: nothing removed" test -e "$prefix/drive_c/windows/system32/drivers/QRXUSB.SYS"

# The first information line starts the checker from the driver disk.
xdotool windowfocus --sync "$remover_window" 2>/dev/null
click_at "$remover_window" 230 10   # Label1: 3000, 0 twips
check "Label1 starts A:\\BUSPROBE.EXE" window_of busprobe.exe
pkill -f -i 'busprobe\.exe' 2>/dev/null; sleep 1
click_at "$remover_window" 384 248   # Exit: 5040, 3360 twips, 1455 x 735
check "Exit ends the remover" wait_gone $remover
settle "$prefix"

# The removal: tick, Uninstall, Yes, then the notice.
start_remover "$work/remover-trace.log"
tick_and_uninstall() {
    xdotool windowfocus --sync "$remover_window" 2>/dev/null
    xdotool key --window "$remover_window" Tab space Tab Tab Return
}
tick_and_uninstall
# Wine may let keys typed at a window it has only just mapped go by (more so
# while it writes its trace): once more when no box has come.
for _ in $(seq 50); do
    xdotool search --onlyvisible --name '^Uninstall driver$' > /dev/null 2>&1 && break
    sleep 0.2
done
xdotool search --onlyvisible --name '^Uninstall driver$' > /dev/null 2>&1 || tick_and_uninstall
check "the confirmation box" answer_box "Uninstall driver" Return remover-confirm   # Yes
check "the restart notice" answer_box Restart Return remover-notice                # OK
check "the remover ends after the notice" wait_gone $remover
settle "$prefix"
check "the enumerator key is gone" bash -c "! WINEPREFIX='$prefix' '$wine' reg query 'HKLM\\SYSTEM\\CurrentControlSet\\Enum\\KELVARN' > /dev/null 2>&1"
check "the adapter's USB key is gone" bash -c "! WINEPREFIX='$prefix' '$wine' reg query 'HKLM\\SYSTEM\\CurrentControlSet\\Enum\\USB\\VID_0E4B&PID_0204' > /dev/null 2>&1"
for id in 0201 0202 0203; do
    check "the adapter's neighbouring USB key PID_$id is gone" bash -c "! WINEPREFIX='$prefix' '$wine' reg query 'HKLM\\SYSTEM\\CurrentControlSet\\Enum\\USB\\VID_0E4B&PID_$id' > /dev/null 2>&1"
done
check "the mouse's USB key stays" bash -c "WINEPREFIX='$prefix' '$wine' reg query 'HKLM\\SYSTEM\\CurrentControlSet\\Enum\\USB\\VID_046D&PID_C00E' > /dev/null 2>&1"
check "another device's USB key after the adapter's stays" bash -c "WINEPREFIX='$prefix' '$wine' reg query 'HKLM\\SYSTEM\\CurrentControlSet\\Enum\\USB\\VID_AAAA&PID_0001' > /dev/null 2>&1"
check "files outside the script's folders stay" test -e "$prefix/drive_c/victim.txt" -a -e "$work/home-prefix/Desktop/photo.jpg" \
    -a -e "$prefix/drive_c/windows/system32/kernel32.dll"
check "the driver files are gone" test ! -e "$prefix/drive_c/windows/system32/drivers/QRXUSB.SYS" -a ! -e "$prefix/drive_c/windows/inf/QRXSER.INF"
check "other files stay" test -e "$prefix/drive_c/windows/inf/MSPORTS.INF"
inf_dir=$prefix/drive_c/windows/inf
check "the adapter's oem file and its companion are gone" test ! -e "$inf_dir/oem7.inf" -a ! -e "$inf_dir/oem7.pnf"
check "another driver's oem files stay" test -e "$inf_dir/oem8.inf" -a -e "$inf_dir/oem8.pnf"
# The system's package removal took the oem file: it was asked once, with
# the forced removal, and the one deletion of the file is its own; the
# remover's deletion of the companion follows. (The fallback would have
# deleted the file through the remover's own deletion, after the request.)
oem_steps() {
    grep -a -E 'SetupUninstallOEMInfA|DeleteFileW' "$work/remover-trace.log" | grep -a -i -E 'oem[78]\.' |
        sed -E 's/^[0-9a-f]+:trace:[a-z]+://' | tr -d '\r'
}
expected_oem_steps='SetupUninstallOEMInfA "oem7.inf", 0x00000001, 0000000000000000
DeleteFileW L"C:\\windows\\inf\\oem7.inf"
DeleteFileW L"C:\\windows\\inf\\oem7.pnf"'
check "the system's package removal deleted the adapter's oem file" test "$(oem_steps)" = "$expected_oem_steps"
[ "$(oem_steps)" = "$expected_oem_steps" ] || { echo "package removal and deletions seen:"; oem_steps; }

# --- one behaviour, two platforms ---------------------------------------------
# The same removal by the Linux build on an identical prefix (no Wine server running).
# Its own driver disk: the Linux programs beside the same data files.
linux=$work/linux-prefix
cp -a "$work/pristine" "$linux"
mkdir -p "$work/disk-linux"
cp "$work/disk/Unins.dat" "$work/disk/Busprobe.dat" "$work/disk-linux/"
cp "$linux_build/remover/Busclean" "$work/disk-linux/BUSCLEAN"
ln -sfn "$work/disk-linux" "$linux/dosdevices/a:"
install_adapter "$linux"
settle "$linux"
(cd "$linux/drive_c" && WINEPREFIX=$linux "$work/disk-linux/BUSCLEAN") &
lpid=$!
lw=""
for _ in $(seq 100); do lw=$(xdotool search --onlyvisible --name '^USB Uninstall Utility$' 2>/dev/null | tail -1); [ -n "$lw" ] && break; sleep 0.2; done
sleep 0.5
# Its window holds its own frame: the device box and "Uninstall", as a person clicks them.
click_at "$lw" 30 214
click_at "$lw" 379 202
check "the Linux build's confirmation box" answer_box "Uninstall driver" Return linux-confirm
check "the Linux build's restart notice" answer_box Restart Return linux-notice
check "the Linux build ends after the notice" wait_gone $lpid

export_keys "$prefix" "$work/enum-wine.reg" > "$work/keys-wine.txt"
export_keys "$linux" "$work/enum-linux.reg" > "$work/keys-linux.txt"
settle "$linux"
(cd "$prefix/drive_c" && find . -type f | sort) > "$work/files-wine.txt"
(cd "$linux/drive_c" && find . -type f | sort) > "$work/files-linux.txt"
check "the removal took keys away" test "$(wc -l < "$work/keys-wine.txt")" -lt "$(wc -l < "$work/keys-before.txt")"
check "both builds leave the same keys" diff -u "$work/keys-wine.txt" "$work/keys-linux.txt"
check "both builds leave the same files" diff -u "$work/files-wine.txt" "$work/files-linux.txt"

echo "screenshots: $work/shots"
wine_finish

