#!/usr/bin/env bash
# The Windows driver disk package as it ships: unpacked into a fresh folder that
# becomes the A: drive of a fresh Wine prefix under a private Xvfb; the checker,
# the preview and the remover run from the disk's top (the 32-bit programs), the
# remover through a complete removal of the adapter installed on the NT registry
# layout.
#
#   wine_disk.sh <package.zip> <windows32 build dir> <windows build dir> <XP exports list> <work dir> <win32|win64>
#
# win32: a 32-bit Windows XP prefix, where the 32-bit programs do the work.
# win64: Wine's 64-bit prefix, where they hand over to their 64-bit twins in
# AMD64\: the removal takes the native system32's driver file and leaves the
# one in SysWOW64, Busview's output and exit status reach its caller; and from
# a copy of the disk without AMD64, the remover refuses while the checker and
# the preview run as 32-bit programs, the preview seeing the native system32.
#
# The package must not be older than the Windows builds' programs, whose
# imports must be in the XP exports list (tests/windows/check_imports.py).
set -uo pipefail
package=$(realpath -m "$1"); win32_build=$(realpath "$2"); win64_build=$(realpath "$3"); exports=$(realpath "$4")
work=$(realpath -m "$5"); kind=$6
root=$(cd "$(dirname "$0")/../.." && pwd)
wine_arch=$kind
. "$root/tests/wine/common.sh"
. "$root/tests/disk/disk_checks.sh"

programs=(checker/Busprobe.exe remover/Busclean.exe viewer/Busview.exe)
disk_check_package "$package" "${programs[@]/#/$win32_build/}" "${programs[@]/#/$win64_build/}" || exit 1
disk=$(disk_unpack "$package" "$work/unpacked") || exit 1
disk_check_contents "$disk" windows
check "the programs on the disk carry their manifests" python3 "$root/tests/windows/check_manifest.py" \
    "$disk/BUSPROBE.EXE" asInvoker "$disk/BUSCLEAN.EXE" requireAdministrator \
    "$disk/AMD64/BUSPROBE.EXE" asInvoker "$disk/AMD64/BUSCLEAN.EXE" requireAdministrator \
    "$disk/BUSVIEW.EXE" asInvoker "$disk/AMD64/BUSVIEW.EXE" asInvoker
check "the programs on the disk load on Windows XP: 32-bit at the top, 64-bit in AMD64" \
    python3 "$root/tests/windows/check_imports.py" "$exports" \
    --i386 "$disk"/*.EXE --amd64 "$disk"/AMD64/*.EXE
disk_fingerprint "$disk" > "$work/disk-before.txt"
# The same disk without the 64-bit programs.
no_twin=$work/no-twin
mkdir -p "$no_twin" && cp "$disk"/*.* "$no_twin"/

prefix=$work/prefix
make_prefix "$prefix" "$disk"
use_disk() { ln -sfn "$1" "$prefix/dosdevices/a:"; }
win=$prefix/drive_c/windows
version=$(WINEPREFIX=$prefix "$wine" reg query 'HKLM\Software\Microsoft\Windows NT\CurrentVersion' /v CurrentVersion \
          2>/dev/null | tr -d '\r' | awk '$1 == "CurrentVersion" {print $3}')
if [ "$kind" = win32 ]; then
    check "the prefix is a 32-bit Windows XP (version $version)" test "$version" = 5.1 -a ! -d "$win/syswow64"
else
    check "the prefix is a 64-bit Windows" test -d "$win/syswow64"
fi

# --- the checker: its brand window needs Busprobe.dat -------------------------
reg add 'HKLM\Enum\USB\ROOT_HUB\PCI&VEN_8086&DEV_7112' /f
check "the checker starts from the disk; closing its result window ends it" run_checker disk
check "the checker finds the root hub" test "$(verdict_colour disk '#00FF00')" -gt 200
if [ "$kind" = win64 ]; then
    use_disk "$no_twin"
    check "without its twin the 32-bit checker runs itself" run_checker no-twin
    check "... and finds the root hub" test "$(verdict_colour no-twin '#00FF00')" -gt 200
    use_disk "$disk"
fi
reg delete 'HKLM\Enum' /f

# --- the remover: its window needs Unins.dat; tick, Uninstall, Yes, OK --------
key_there() { WINEPREFIX=$prefix "$wine" reg query "HKLM\\SYSTEM\\CurrentControlSet\\Enum\\$1" > /dev/null 2>&1; }
key_gone() { ! key_there "$1"; }
install_adapter "$prefix"
check "the adapter is installed" key_there 'USB\VID_0E4B&PID_0204'
native_driver=$win/system32/drivers/QRXUSB.SYS
wow64_driver=$win/syswow64/drivers/QRXUSB.SYS

# The preview from the disk, with its arguments as given: the script's path
# holds a space.
preview() {  # preview <name> <arguments...>: output in $work/<name>.txt, stderr in <name>.err, status in view_status
    local name=$1; shift
    (cd "$prefix/drive_c" && WINEPREFIX=$prefix "$wine" 'A:\BUSVIEW.EXE' "$@" > "$work/$name.out" 2> "$work/$name.err")
    view_status=$?
    tr -d '\r' < "$work/$name.out" > "$work/$name.txt"
}
mkdir -p "$prefix/drive_c/my scripts" && cp "$disk/Unins.dat" "$prefix/drive_c/my scripts/"
lists_driver() { grep -qF 'delete file C:\windows\system32\drivers\QRXUSB.SYS' "$1"; }

if [ "$kind" = win64 ]; then
    # --- a disk without the 64-bit programs -----------------------------------
    use_disk "$no_twin"
    mkdir -p "$(dirname "$wow64_driver")"
    check "the preview without its twin runs" preview no-twin-view 'C:\my scripts\Unins.dat' --machine
    check "... and accepts the script" test "$view_status" -eq 0
    check "... and, with the driver in the native system32 only, would delete it" lists_driver "$work/no-twin-view.txt"
    echo wow64 > "$wow64_driver"
    start_remover
    check "without its twin the 32-bit remover shows no window" \
        test -z "$(xdotool search --onlyvisible --name '^USB Uninstall Utility$' 2>/dev/null)"
    check "... but refuses with its stop box" answer_box Busclean Return no-twin-refusal
    check "... and ends" wait_gone "$remover"
    check "... having deleted nothing" test -e "$native_driver" -a -e "$wow64_driver" -a -e "$win/inf/QRXSER.INF"
    check "... and no key" key_there 'USB\VID_0E4B&PID_0204'
    settle "$prefix"
    use_disk "$disk"
fi

# --- the preview from the disk: what a removal would take, nothing taken --------
preview busview 'C:\my scripts\Unins.dat' --machine
check "the preview runs from the disk and accepts the script" test "$view_status" -eq 0
check "... it reads the NT layout" grep -q 'Registry layout: NT' "$work/busview.txt"
check "... it would delete the adapter's USB key" grep -qF 'delete key SYSTEM\CurrentControlSet\Enum\USB\VID_0E4B&PID_0204' \
    "$work/busview.txt"
check "... and the driver file" lists_driver "$work/busview.txt"
check "... and deleted nothing" key_there 'USB\VID_0E4B&PID_0204'
if [ "$kind" = win64 ]; then
    # Wine's trace of process starts shows the twin's command line.
    (cd "$prefix/drive_c" && WINEDEBUG=-all,trace+process WINEPREFIX=$prefix "$wine" 'A:\BUSVIEW.EXE' \
        'C:\my scripts\Unins.dat' --json > "$work/twin.out" 2> "$work/twin-trace.txt")
    check "the 32-bit preview hands over to AMD64\\BUSVIEW.EXE with its arguments unchanged" grep -qF \
        'cmdline L"\"A:\\AMD64\\BUSVIEW.EXE\" \"C:\\my scripts\\Unins.dat\" --json"' "$work/twin-trace.txt"
    check "... whose output reaches the caller" grep -q '"startupAccepts":true' "$work/twin.out"
    preview usage
    check "a usage error's status 2 comes back through the hand-over" test "$view_status" -eq 2
    check "... with its text on standard error" grep -q '^Usage: Busview SCRIPT' "$work/usage.err"
fi
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
check "the adapter's files are gone" test ! -e "$native_driver" -a ! -e "$win/inf/QRXSER.INF" \
    -a ! -e "$win/inf/QRXPORT.INF"
check "the adapter's driver package is gone, another driver's stays" \
    test ! -e "$win/inf/oem7.inf" -a ! -e "$win/inf/oem7.pnf" -a -e "$win/inf/oem8.inf" -a -e "$win/inf/oem8.pnf"
[ "$kind" = win64 ] && check "the 32-bit system's file of that name in SysWOW64 stays" test -e "$wow64_driver"
check "other files stay" test -e "$win/inf/MSPORTS.INF" -a -e "$prefix/drive_c/victim.txt" -a -e "$win/system32/kernel32.dll"
# --- the unattended removal from the disk: BUSVIEW.EXE A:\Unins.dat --remove ----
# Run from a batch file, as a deployment tool runs a command, which echoes the
# exit code in full (a Linux exit status keeps only its low 8 bits).
unattended() {  # unattended <name> [runner]: output in $work/<name>.txt, errors in <name>.err
    local name=$1 runner=${2:-}
    printf '@%sA:\\BUSVIEW.EXE A:\\Unins.dat --remove\r\n@echo exit code %%ERRORLEVEL%%\r\n' "${runner:+$runner }" \
        > "$prefix/drive_c/$name.bat"
    (cd "$prefix/drive_c" && WINEPREFIX=$prefix "$wine" cmd /c "C:\\$name.bat" > "$work/$name.out" 2> "$work/$name.err")
    tr -d '\r' < "$work/$name.out" > "$work/$name.txt"
    settle "$prefix"
}
lists() { grep -qF "$1" "$work/$2.txt"; }
install_adapter "$prefix"
check "the adapter is installed again" key_there 'USB\VID_0E4B&PID_0204'
unattended limited "$(winepath_of "$win32_build/tests/wine/tools/RunLimited.exe")"
check "Busview --remove without an administrator's rights exits 1603" grep -qx 'exit code 1603' "$work/limited.txt"
check "... saying so" grep -q "needs an administrator's rights" "$work/limited.err"
check "... having removed nothing" test -e "$native_driver" -a -e "$win/inf/oem7.inf"
check "... and no key" key_there 'USB\VID_0E4B&PID_0204'
unattended remove
check "Busview --remove exits 3010: removed, a restart completes it" grep -qx 'exit code 3010' "$work/remove.txt"
check "... on the NT layout, with its notice" lists 'Box "Restart" (style 48)' remove
check "... it reports the adapter's USB key removed" \
    lists 'removed key SYSTEM\CurrentControlSet\Enum\USB\VID_0E4B&PID_0204  [CleanRegistry' remove
check "... the driver file deleted" lists 'deleted file C:\windows\system32\drivers\QRXUSB.SYS  [' remove
check "... and the driver package's files" lists 'deleted file C:\windows\inf\oem7.inf  [' remove
check "... both of them" lists 'deleted file C:\windows\inf\oem7.pnf  [' remove
check "... which are gone, another driver's stay" \
    test ! -e "$win/inf/oem7.inf" -a ! -e "$win/inf/oem7.pnf" -a -e "$win/inf/oem8.inf" -a -e "$win/inf/oem8.pnf"
check "... the enumerator key is gone" key_gone KELVARN
for id in 0201 0202 0203 0204; do
    check "... the adapter's USB key PID_$id is gone" key_gone "USB\\VID_0E4B&PID_$id"
done
check "... the mouse's USB key stays" key_there 'USB\VID_046D&PID_C00E'
check "... the root hub stays" key_there 'USB\ROOT_HUB'
check "... the adapter's files are gone" test ! -e "$native_driver" -a ! -e "$win/inf/QRXSER.INF"
[ "$kind" = win64 ] && check "... the 32-bit system's file of that name in SysWOW64 stays" test -e "$wow64_driver"
check "... other files stay" test -e "$win/inf/MSPORTS.INF" -a -e "$prefix/drive_c/victim.txt"
unattended again
check "a second Busview --remove finds nothing installed and exits 0" grep -qx 'exit code 0' "$work/again.txt"
check "... saying so" lists 'Outcome: nothing of the driver is installed: nothing to remove' again

check "the driver disk is as it was unpacked" diff -u "$work/disk-before.txt" <(disk_fingerprint "$disk")

echo "screenshots: $work/shots"
wine_finish
