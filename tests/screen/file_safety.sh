#!/usr/bin/env bash
# The real remover on a demo machine image under Xvfb, driven with real X
# input, with a removal script that tries to reach outside its folders:
# entries that climb out with "..", absolute paths, a drive, and the prefix's
# link into a home folder. Only the adapter's own files go. Then, on a machine
# without Wine's restart program, a Yes to the restart question leaves the
# window open.
#
#   file_safety.sh <Busprobe> <Busclean> <output-folder>
set -uo pipefail
. "$(dirname "$0")/common.sh" "$@"

xdrive_start_xvfb || exit 1
image="$out/image"
"$root/tools/demo-image" "$image" "$probe" "$clean" >/dev/null || exit 1
c="$image/prefix/drive_c" win="$image/prefix/drive_c/windows"

# Files nobody named: on C:, in the Windows folder, on the driver disk, and in
# a home folder outside the image that the prefix links to, as Wine links a
# user's Desktop.
echo "keep" > "$c/victim.txt"
echo "keep" > "$win/win.ini"
home="$out/home"
mkdir -p "$home/Desktop" "$c/users/demo"
echo "precious" > "$home/Desktop/photo.jpg"
ln -s "$home/Desktop" "$c/users/demo/Desktop"

# The same removal script with hostile entries put into the system section;
# the list keeps its 145 fields (the last ones are empty).
hostile=('..\..\..\victim.txt' '..\*' '..\..\users\demo\Desktop\*' 'C:\victim.txt' '\victim.txt'
         'a:Busprobe.dat' 'sub\..\..\win.ini')
script="$image/disk/Unins.dat"
HOSTILE="$(printf '%s\n' "${hostile[@]}")" awk '
  BEGIN { n = split(ENVIRON["HOSTILE"], lines, "\n") }
  { print }
  $0 == "[Delete System]\r" { for (i = 1; i <= n; i++) printf "%s\r\n", lines[i] }
' "$script" | head -n 145 > "$script.new" && mv "$script.new" "$script"
check "the script still has 145 lines" [ "$(wc -l < "$script")" -eq 145 ]

# Wine's restart program is kept out of reach: the restart cannot happen.
nowine="$out/bin"
mkdir -p "$nowine"
PATH="$nowine" xdrive_run "$image" BUSCLEAN.EXE "$out/busclean.log"
pid=$XDRIVE_PID
main=$(xdrive_wait_windows "$pid" 1)
need "$main" "the remover window"
sleep 0.3
xdrive_click "$main" 30 214  # the device check box
sleep 0.3
xdrive_click "$main" 379 202  # "Uninstall"
confirm=$(xdrive_wait_windows "$pid" 2)
need "$confirm" "the confirmation box"
xdotool key Return
restart=$(xdrive_wait_windows "$pid" 2)
need "$restart" "the restart question"
check "after the removal the restart question shows" [ "$(xdrive_title "$restart")" = "Restart" ]
xdotool key Return  # Yes: restart now
sleep 1
check "a restart that cannot happen leaves the remover running" kill -0 "$pid"
check "... with its window open and no other" [ "$(xdrive_windows "$pid" | wc -l)" -eq 1 ]
xdrive_shot "$main" "$out/after-failed-restart.png"
xdrive_click "$main" 400 270  # "Exit"
check "Exit then ends the remover" xdrive_wait_exit "$pid"

for f in "$c/victim.txt" "$win/win.ini" "$home/Desktop/photo.jpg" "$image/disk/Busprobe.dat" \
         "$win/system/KERNEL32.DLL"; do
  check "kept ${f#"$out/"}" [ -e "$f" ]
done
for f in system/QRXSER.VXD system32/drivers/QRXUSB.SYS inf/QRXSER.INF; do
  check "removed the adapter's $f" [ ! -e "$win/$f" ]
done

screen_finish "file safety"
