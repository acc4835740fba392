#!/usr/bin/env bash
# The real programs on Xvfb with 2 GB sparse data files and picture: each
# reads only what it uses, so its window comes quickly and its peak memory
# (VmHWM) stays small.
#
#   large_files.sh <Busprobe> <Busclean> <output-folder>
set -uo pipefail
. "$(dirname "$0")/common.sh" "$@" truncate
limit_kb=$((64 * 1024))
ms() { echo $(($(date +%s%N) / 1000000)); }

# A file made sparse up to 2 GB after its real content.
grow() { truncate -s 2G "$1"; }

# A 64 x 64 24-bit bitmap header; its pixels are the zeros of the sparse tail.
brand_bmp() {
  # "BM", file size 12342, reserved, pixels at 54; 40-byte header: 64 x 64,
  # 1 plane, 24 bits, uncompressed, 12288 pixel bytes, 3780 pixels a metre.
  printf '%b' 'BM\x36\x30\0\0\0\0\0\0\x36\0\0\0\x28\0\0\0\x40\0\0\0\x40\0\0\0\x01\0\x18\0' \
    '\0\0\0\0\0\x30\0\0\xc4\x0e\0\0\xc4\x0e\0\0\0\0\0\0\0\0\0\0' > "$1"
}

# Starts a program of the image, waits up to 60 s for its first window and
# prints "<ms to the window> <VmHWM in kB>"; the program is ended afterwards.
measure() {  # measure <exe>
  local start pid id="" hwm
  start=$(ms)
  xdrive_run "$image" "$1" "$out/$1.log"
  pid=$XDRIVE_PID
  for _ in $(seq 1200); do
    id=$(xdrive_windows "$pid" | head -n1)
    [ -n "$id" ] && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.05
  done
  if [ -z "$id" ]; then
    echo "none 0"
  else
    hwm=$(awk '/^VmHWM:/ {print $2}' "/proc/$pid/status")
    echo "$(($(ms) - start)) $hwm"
  fi
  kill "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
}

small() { [ "$1" -gt 0 ] && [ "$1" -lt "$limit_kb" ]; }
report() {  # report <what> <ms> <kB>
  echo "     $1: window after $2 ms, peak memory $(($3 / 1024)) MB"
  check "$1: the window shows" [ "$2" != none ]
  check "$1: peak memory under 64 MB" small "$3"
}

xdrive_start_xvfb || exit 1
image="$out/image"
"$root/tools/demo-image" "$image" "$probe" "$clean" >/dev/null || exit 1
c="$image/prefix/drive_c"

read -r t m < <(measure BUSPROBE.EXE)
report "checker, demo image" "$t" "$m"
read -r t m < <(measure BUSCLEAN.EXE)
report "remover, demo image" "$t" "$m"

brand_bmp "$c/Brand.bmp"
for f in "$c/Brand.bmp" "$image/disk/Busprobe.dat" "$image/disk/Unins.dat" "$c/windows/inf/oem1.inf"; do
  grow "$f"
done
read -r t m < <(measure BUSPROBE.EXE)
report "checker, 2 GB sparse Busprobe.dat and Brand.bmp" "$t" "$m"
read -r t m < <(measure BUSCLEAN.EXE)
report "remover, 2 GB sparse Unins.dat, oem1.inf and Brand.bmp" "$t" "$m"

rm -rf "$image"  # sparse files that a copy would fill
screen_finish "large file"
