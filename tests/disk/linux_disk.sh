#!/usr/bin/env bash
# The Linux driver disk package as it ships: unpacked into a fresh folder that
# becomes the A: drive of a fresh demo machine image, the checker and the
# remover run from it on a private Xvfb display, through a complete removal.
#
#   linux_disk.sh <package.tar.gz> <Busprobe> <Busclean> <output-folder>
#
# The programs named are the build's own: the package must not be older.
set -uo pipefail
package=$(realpath -m "$1")
shift
. "$(dirname "$0")/../screen/common.sh" "$@" tar readelf
. "$(dirname "$0")/disk_checks.sh"

disk_check_package "$package" "$probe" "$clean" || exit 1
disk=$(disk_unpack "$package" "$out/unpacked") || exit 1
disk_check_contents "$disk"
for exe in BUSPROBE.EXE BUSCLEAN.EXE BUSVIEW.EXE; do
  check "$exe on the disk is a program of this machine" bash -c "readelf -h '$disk/$exe' | grep -q 'Machine:.*$(uname -m | sed 's/x86_64/X86-64/')'"
  check "$exe on the disk carries no debugging information" bash -c "! readelf -S '$disk/$exe' | grep -q '\.debug_info'"
done
(cd "$disk" && sha256sum -- *) >"$out/disk-before.txt"

image="$out/image"
"$root/tools/demo-image" "$image" --disk "$disk" >/dev/null || exit 1
xdrive_start_xvfb || exit 1

# --- the script viewer: the disk's script is accepted; a dry run changes nothing ---
check "BUSVIEW.EXE accepts the disk's script" bash -c "'$disk/BUSVIEW.EXE' '$disk/Unins.dat' >/dev/null"
sha256sum "$image/prefix/system.reg" >"$out/reg-before.txt"
(cd "$image/prefix/drive_c" && WINEPREFIX="$image/prefix" "$disk/BUSVIEW.EXE" "$disk/Unins.dat" --machine) \
  >"$out/busview.txt" 2>&1
check "BUSVIEW.EXE --machine lists the adapter's driver file" grep -q 'delete file C:.windows.system.QRXSER.VXD' "$out/busview.txt"
check "BUSVIEW.EXE --machine leaves the registry as it was" sha256sum -c --quiet "$out/reg-before.txt"

# --- the checker: its brand window needs Busprobe.dat; a click, the verdict ---
xdrive_run "$image" BUSPROBE.EXE "$out/busprobe.log"
pid=$XDRIVE_PID
logo=$(xdrive_wait_windows "$pid" 1)
need "$logo" "the checker's brand window (it shows only with its data file read)"
sleep 0.3
xdrive_shot "$logo" "$out/brand.png"
xdrive_click "$logo" 260 100  # the company label
verdict=$(xdrive_wait_windows "$pid" 1)
need "$verdict" "the result window"
check "the click brings the result window" [ "$verdict" != "$logo" ]
read -r _ _ width _ < <(xdrive_geometry "$verdict")
xdrive_click "$verdict" $((width - 13)) 12  # its close box
check "closing the result window ends the checker" xdrive_wait_exit "$pid"

# --- the remover: its window needs Unins.dat; tick, Uninstall, Yes, No --------
screen_start_remover "$image" "$out/busclean.log"
sleep 0.3
xdrive_shot "$main" "$out/remover.png"
xdrive_click "$main" 30 214  # the device check box: enabled only when the driver is found
sleep 0.3
xdrive_click "$main" 379 202  # "Uninstall"
confirm=$(xdrive_wait_windows "$pid" 2)
need "$confirm" "the confirmation box (the device box was not enabled: no driver found?)"
check "Uninstall asks for confirmation" [ "$(xdrive_title "$confirm")" = "Uninstall driver" ]
xdotool key Return  # Yes
restart=$(xdrive_wait_windows "$pid" 2)
need "$restart" "the restart question"
check "after the removal the restart question shows" [ "$(xdrive_title "$restart")" = "Restart" ]
xdotool key n
check "answering N ends the remover" xdrive_wait_exit "$pid"
check "the remover ends with status 0" [ "${XDRIVE_STATUS:-1}" -eq 0 ]

screen_check_removal "$image"
check "the driver disk is as it was unpacked" diff -u "$out/disk-before.txt" <(cd "$disk" && sha256sum -- *)
screen_finish "Linux driver disk"
