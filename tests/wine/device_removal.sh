#!/usr/bin/env bash
# The remover's way through the PnP manager, under Wine. On Windows the device
# tree (SYSTEM\CurrentControlSet\Enum) belongs to the system: the remover's
# deletions there are refused, and each refused device instance is uninstalled
# through SetupAPI instead. Wine lets an administrator delete those keys, so
# here the remover runs as BuscleanRefused (tests/wine/tools: the real program
# over a win32 platform that refuses them) from a driver disk with the
# shipped script, on a fresh Wine prefix with the adapter on the NT layout;
# Wine's SetupAPI does the uninstalling, and its trace (trace+setupapi) shows
# what was asked of it. Three runs on the one prefix:
#   - every device key of the adapter holds an instance the PnP manager knows:
#     each instance is asked for once, the adapter's keys go, the restart notice;
#   - no SetupAPI: nothing in the tree goes and the run ends with the failure;
#   - one instance the PnP manager does not know: the others go, it stays, and
#     the run ends with the failure.
#
#   device_removal.sh <windows build dir> <work dir>
set -uo pipefail
win_build=$(realpath "$1"); work=$(realpath -m "$2")
root=$(cd "$(dirname "$0")/../.." && pwd)
. "$root/tests/wine/common.sh"

mkdir -p "$work/disk"
cp "$win_build/tests/wine/tools/BuscleanRefused.exe" "$work/disk/BUSCLEAN.EXE"
cp "$root/disk/Unins.dat" "$root/disk/Busprobe.dat" "$work/disk/"
prefix=$work/prefix
make_prefix "$prefix"

enum='HKLM\SYSTEM\CurrentControlSet\Enum'
win=$prefix/drive_c/windows

# The adapter installed, each of its device keys holding an instance.
install_instances() {
    install_adapter "$prefix"
    reg import "$(winepath_of "$wine_here/adapter-nt-instances.reg")"
    settle "$prefix"
}

# The refusals of the refusing platform in a run, of keys whose name holds the text.
refusals() { tr -d '\r' < "$1" | grep -F 'deletion refused: ' | grep -c -F -- "${2:-}"; }

adapter_keys=(KELVARN 'USB\VID_0E4B&PID_0201' 'USB\VID_0E4B&PID_0202' 'USB\VID_0E4B&PID_0203' 'USB\VID_0E4B&PID_0204')
others_stay() {  # others_stay <run>
    check "$1: the mouse's instance stays" device_key_there 'USB\VID_046D&PID_C00E\6&5678&0&1\Device Parameters'
    check "$1: another device's key stays" device_key_there 'USB\VID_AAAA&PID_0001'
    check "$1: the root hub stays" device_key_there 'USB\ROOT_HUB\4&1234&0'
}

# --- every instance known: the PnP manager takes the adapter away -----------
install_instances
removal_run pnp
check "pnp: the restart notice, no failure" test "$box" = Restart
check "pnp: the remover's deletions in the device tree were refused" test "$(refusals "$work/pnp.log")" -ge 5
kelvarn='KELVARN\VID_0E4B&PID_02XX\6&1A&0'
usb=('USB\VID_0E4B&PID_0201\5&2C3D&0&2' 'USB\VID_0E4B&PID_0202\5&2C3D&0&3' 'USB\VID_0E4B&PID_0203\5&2C3D&0&4'
     'USB\VID_0E4B&PID_0204\5&2C3D&0&1')
expected=$(opened_and_removed "$kelvarn" "${usb[@]}")
check "pnp: each adapter instance asked for removal once, no other device" requests_are pnp "$expected"
# The remover deleted none of them: Wine's SetupAPI took each instance, and
# the device and enumerator keys that it left empty.
for k in "${adapter_keys[@]}"; do check "pnp: $k is gone" device_key_gone "$k"; done
others_stay pnp
check "pnp: the adapter's files are gone" test ! -e "$win/system32/drivers/QRXUSB.SYS" -a ! -e "$win/inf/QRXSER.INF" \
    -a ! -e "$win/inf/oem7.inf"
check "pnp: other files stay" test -e "$win/inf/MSPORTS.INF" -a -e "$win/inf/oem8.inf"

# --- no SetupAPI: the refused keys stay, and the run fails ----------------------
install_instances
export_keys "$prefix" "$work/enum-before.reg" > "$work/keys-before.txt"
saved_overrides=$WINEDLLOVERRIDES
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;setupapi=d"
removal_run no-setupapi
export WINEDLLOVERRIDES=$saved_overrides
check "no-setupapi: the failure message, no restart notice" test "$box" = "Uninstall Fail"
check "no-setupapi: deletions were refused" test "$(refusals "$work/no-setupapi.log")" -ge 1
check "no-setupapi: SetupAPI never ran (no trace of it)" test "$(grep -c ':trace:setupapi:' "$work/no-setupapi.log")" -eq 0
export_keys "$prefix" "$work/enum-after.reg" > "$work/keys-no-setupapi.txt"
check "no-setupapi: every key of the device tree stays" diff -u "$work/keys-before.txt" "$work/keys-no-setupapi.txt"
check "no-setupapi: the run ended before the file steps" test -e "$win/system32/drivers/QRXUSB.SYS"

# --- one instance unknown to the PnP manager: it stays, and the run fails --------
install_instances
reg delete "$enum\\USB\\VID_0E4B&PID_0204\\5&2C3D&0&1" /v ClassGUID /f
settle "$prefix"
removal_run unknown
check "unknown: the failure message, no restart notice" test "$box" = "Uninstall Fail"
expected=$(opened_and_removed "$kelvarn" "${usb[@]:0:3}"; echo "open ${usb[3]}")
check "unknown: each instance asked for once, the unknown one not removed" requests_are unknown "$expected"
# Refused, it is not tried again while nothing else has gone since: the
# refusal would only repeat.
check "unknown: its key refused, and asked for once" \
    test "$(refusals "$work/unknown.log" 'PID_0204\5&2C3D&0&1\Device Parameters')" -ge 1
for k in KELVARN 'USB\VID_0E4B&PID_0201' 'USB\VID_0E4B&PID_0202' 'USB\VID_0E4B&PID_0203'; do
    check "unknown: $k is gone" device_key_gone "$k"
done
check "unknown: the unknown instance stays" device_key_there 'USB\VID_0E4B&PID_0204\5&2C3D&0&1\Device Parameters'
others_stay unknown

echo "screenshots: $work/shots"
wine_finish
