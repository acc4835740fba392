#!/usr/bin/env bash
# Keys that only the system may change, under Wine. On Windows the device tree
# (SYSTEM\CurrentControlSet\Enum) belongs to the system: an administrator may
# read its keys but not delete them. EnumRights (tests/wine/tools) gives the
# keys of a fresh Wine prefix those rights (owner SYSTEM, DELETE denied to
# Everyone); Wine keeps them in its running server only, so the server is kept
# for the prefix while the programs under test run, and they meet the rights
# through Wine's own registry. Then:
#   - the checker reads the USB 2.0 root hub's key and shows the green verdict;
#   - the remover on the adapter of the NT layout, with the whole tree so
#     protected, deletes nothing there, and Wine's SetupAPI cannot help
#     (it runs with the same rights): it ends with its failure message, never
#     with the restart notice;
#   - with only the USB keys so protected, the remover takes the enumerator's
#     keys it may delete, and ends with the failure message for the USB keys
#     that stay.
#
#   key_rights.sh <windows build dir> <work dir>
set -uo pipefail
win_build=$(realpath "$1"); work=$(realpath -m "$2")
root=$(cd "$(dirname "$0")/../.." && pwd)
. "$root/tests/wine/common.sh"

mkdir -p "$work/disk"
cp "$win_build/checker/Busprobe.exe" "$work/disk/BUSPROBE.EXE"
cp "$win_build/remover/Busclean.exe" "$work/disk/BUSCLEAN.EXE"
cp "$root/disk/Unins.dat" "$root/disk/Busprobe.dat" "$work/disk/"
rights_tool=$win_build/tests/wine/tools/EnumRights.exe
prefix=$work/prefix
make_prefix "$prefix"
win=$prefix/drive_c/windows

# protect <name> [key]: a server of its own kept for the prefix (until the next
# settle), and the rights set in it on the key and every key below it (the
# device tree unless named); the tool's report in $work/<name>-rights.txt.
protect() {
    local name=$1; shift
    settle "$prefix"
    WINEPREFIX=$prefix wineserver -p
    WINEPREFIX=$prefix "$wine" "$rights_tool" "$@" > "$work/$name-rights.txt" 2>&1
}
# Every key below the device tree, one a line.
tree_keys() { export_keys "$prefix" "$work/$1.reg"; }

# --- the checker ------------------------------------------------------------------
reg add 'HKLM\SYSTEM\CurrentControlSet\Enum\USB\ROOT_HUB20\4&2A1B3C4D&0' /f
check "checker: the device tree's keys refuse DELETE and open with the rights allowed" protect checker
cat "$work/checker-rights.txt"
run_checker hub20
check "checker: with only a USB 2.0 root hub, the green verdict" test "$(verdict_colour hub20 '#00FF00')" -gt 200
check "checker: ... and not the red one" test "$(verdict_colour hub20 '#FF0000')" -lt 50
reg delete 'HKLM\SYSTEM\CurrentControlSet\Enum\USB\ROOT_HUB20' /f

# --- the remover, the whole tree the system's ----------------------------------------
install_adapter "$prefix"
tree_keys tree-before > "$work/keys-installed.txt"
check "tree: the rights are set" protect tree
removal_run tree
check "tree: the failure message, no restart notice" test "$box" = "Uninstall Fail"
check "tree: every key of the device tree stays" diff -u "$work/keys-installed.txt" <(tree_keys tree-after)
check "tree: the PnP manager was asked for the adapter's first instance, and could not open it" \
    requests_are tree 'open KELVARN\VID_0E4B&PID_02XX\6&1A&0'
check "tree: the run ended before the file steps" test -e "$win/system32/drivers/QRXUSB.SYS"

# --- the remover, the USB keys the system's ------------------------------------------
install_adapter "$prefix"
check "usb: the rights are set" protect usb 'SYSTEM\CurrentControlSet\Enum\USB'
removal_run usb
check "usb: the failure message, no restart notice" test "$box" = "Uninstall Fail"
check "usb: the enumerator's keys, which the remover may delete, are gone" device_key_gone KELVARN
for id in 0201 0202 0203; do
    check "usb: the adapter's USB key PID_$id stays" device_key_there "USB\\VID_0E4B&PID_$id"
done
check "usb: the adapter's USB instance stays" device_key_there 'USB\VID_0E4B&PID_0204\5&2C3D&0&1\Device Parameters'
# Wine's SetupAPI takes the request and reports the device removed, though the
# rights kept every key: the remover goes by the key, which is still there.
check "usb: the PnP manager was asked once, for the adapter's instance" \
    requests_are usb "$(opened_and_removed 'USB\VID_0E4B&PID_0204\5&2C3D&0&1')"
check "usb: the mouse's key stays" device_key_there 'USB\VID_046D&PID_C00E\6&5678&0&1\Device Parameters'
check "usb: the run ended before the file steps" test -e "$win/system32/drivers/QRXUSB.SYS"

echo "screenshots: $work/shots"
wine_finish
