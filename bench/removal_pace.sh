#!/usr/bin/env bash
# Times the remover's removal run on a real X display: from the Yes of the
# "Uninstall driver" confirmation to the restart question, for a removal
# script of 15 registry and folder entries and one oem entry. The run's
# mandated pauses are 15 x 50 ms; what it takes beyond that is overhead.
#
#   bench/removal_pace.sh <Busprobe> <Busclean> [runs] [work-folder]
#
# Every run starts from a fresh copy of the demo machine image, on a private
# Xvfb. The moments are taken from the server's own notices, stamped as they
# arrive: the key press of Yes is sent by xdotool (t0), the confirmation's
# window goes (the program took the Yes), the restart question's window is
# mapped (t1). Prints each run and the median, minimum and maximum. The
# processor time the remover and the X server spent in that stretch (from
# /proc/<pid>/schedstat, in ns) is printed too: unlike the wall-clock time it
# hardly moves when other work loads the machine.
set -uo pipefail
if [ $# -lt 2 ]; then
  echo "usage: $0 <Busprobe> <Busclean> [runs] [work-folder]" >&2
  exit 2
fi
root=$(cd "$(dirname "$0")/.." && pwd)
abs() { case "$1" in /*) echo "$1" ;; *) echo "$PWD/$1" ;; esac; }
probe=$(abs "$1") clean=$(abs "$2") runs=${3:-7}
work=$(abs "${4:-$(mktemp -d "${TMPDIR:-/tmp}/removal-pace.XXXXXX")}")
. "$root/tools/xdrive.sh"
for tool in Xvfb xdotool xev xprop stdbuf; do
  command -v "$tool" >/dev/null || { echo "missing $tool" >&2; exit 1; }
done

mkdir -p "$work"
pristine="$work/pristine" image="$work/image" events="$work/events.log"
"$root/tools/demo-image" "$pristine" "$probe" "$clean" >/dev/null || exit 1

# The removal script: the demo's header fields, then 15 registry and folder
# entries (section headers count: each runs its section's step and pauses)
# and the oem section header as the one oem entry.
{
  fields=("Tarnwick Devices Inc." "USB Adapter Driver Removal" "Version 1.00" "\"12 Mill Lane, Suite 4\""
          "Tel: +1 555 0100" "Fax: +1 555 0101" "support@tarnwick.example" "[InternetShortcut]"
          "URL=http://www.tarnwick.example/" "1" "USB to Serial Adapter" "" "-" "VID_0E4B" "==========")
  while [ ${#fields[@]} -lt 35 ]; do fields+=(""); done
  fields+=("[Delete Registry]" 'Enum\USB' "QRXSERIAL" "QRX Port Monitor"
           "[Delete System]" "QRXSER.VXD" "KERNEL32.BAK"
           "[Delete System32]" "QRXUSB.SYS" "QRXUSB.BAK"
           "[Delete Inf]" "QRX*.INF" "QRX*.PNF"
           "[Delete Other]" "TarnwickQRX.INF"
           "[Delete W2kinf]")
  while [ ${#fields[@]} -lt 145 ]; do fields+=(""); done
  for f in "${fields[@]}"; do printf '%s\r\n' "$f"; done
} >"$pristine/disk/Unins.dat"

stamper_pid=
cleanup() {
  [ -n "${XDRIVE_PID:-}" ] && kill "$XDRIVE_PID" 2>/dev/null
  [ -n "$stamper_pid" ] && kill "$stamper_pid" 2>/dev/null
  xdrive_stop_xvfb
}
trap cleanup EXIT
xdrive_start_xvfb || exit 1

# Every top-level window's creation, mapping and end, stamped on arrival.
: >"$events"
(stdbuf -oL xev -root -event substructure | while IFS= read -r line; do
   printf '%s %s\n' "$EPOCHREALTIME" "$line"
 done >>"$events") &
stamper_pid=$!
sleep 0.3

# The stamp of the first notice of <kind> for <window> after <since>.
stamp_of() {  # stamp_of <kind> <window-id-decimal> <since>
  local hex
  hex=$(printf '0x%x' "$2")
  awk -v kind="$1" -v win="$hex" -v since="$3" '
    $2 == kind { t = $1; pending = 1; next }
    pending && $0 ~ ("event 0x[0-9a-f]+, window " win "(,|$)") && t >= since { print t; exit }
    $2 ~ /Notify$/ { pending = 0 }' "$events"
}

ms() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.1f", (b - a) * 1000 }'; }
cpu_ns() { awk '{ print $1 }' "/proc/$1/schedstat" 2>/dev/null || echo 0; }

results=() accepted=() cpus=()
for run in $(seq "$runs"); do
  # A fresh image each run: the run deletes what it times.
  "$root/tools/demo-image" "$image" "$probe" "$clean" >/dev/null || exit 1
  cp "$pristine/disk/Unins.dat" "$image/disk/Unins.dat"
  xdrive_run "$image" BUSCLEAN.EXE "$work/busclean.log"
  pid=$XDRIVE_PID
  main=$(xdrive_wait_windows "$pid" 1) || exit 1
  # A person reads the window before ticking the device. Meanwhile the
  # image's folders and the start-up's own change to C:\ (the shortcut file
  # it writes and deletes) settle: the file search keeps listings and folder
  # paths only of folders unchanged for 3 s, as on a machine where the
  # driver was installed earlier.
  sleep 3.3
  xdrive_click "$main" 30 214  # the device check box
  sleep 0.3
  xdrive_click "$main" 379 202  # "Uninstall"
  confirm=$(xdrive_wait_windows "$pid" 2) || exit 1
  [ "$(xdrive_title "$confirm")" = "Uninstall driver" ] || { echo "no confirmation" >&2; exit 1; }
  sleep 0.3
  c0=$(( $(cpu_ns "$pid") + $(cpu_ns "$XVFB_PID") ))
  t0=$EPOCHREALTIME
  xdotool key Return
  restart=
  for _ in $(seq 100); do
    ids=$(xdrive_windows "$pid")
    if ! grep -qx "$confirm" <<<"$ids" && [ "$(grep -c . <<<"$ids")" -eq 2 ]; then
      restart=$(tail -n1 <<<"$ids")
      c1=$(( $(cpu_ns "$pid") + $(cpu_ns "$XVFB_PID") ))
      break
    fi
    sleep 0.1  # seldom: each look costs the X server work that would slow the run
  done
  [ -n "$restart" ] && [ "$(xdrive_title "$restart")" = "Restart" ] || { echo "no restart question" >&2; exit 1; }
  sleep 0.2
  t1=$(stamp_of MapNotify "$restart" "$t0")
  tyes=$(stamp_of DestroyNotify "$confirm" "$t0")
  [ -n "$t1" ] && [ -n "$tyes" ] || { echo "the server's notices were not seen" >&2; exit 1; }
  total=$(ms "$t0" "$t1") after=$(ms "$tyes" "$t1")
  cpu=$(awk -v n=$((c1 - c0)) 'BEGIN { printf "%.1f", n / 1e6 }')
  results+=("$total") accepted+=("$after") cpus+=("$cpu")
  printf 'run %d: Yes -> restart question %s ms (from the confirmation going: %s ms), processor %s ms\n' \
         "$run" "$total" "$after" "$cpu"
  xdotool key n
  xdrive_wait_exit "$pid" || exit 1
  XDRIVE_PID=
done

summary() {  # summary <label> <pauses-ms> <values...>
  local label=$1 pauses=$2
  shift 2
  printf '%s\n' "$@" | sort -g | awk -v label="$label" -v pauses="$pauses" '
    { v[NR] = $1 }
    END { m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
          printf "%s: median %.1f ms, min %.1f, max %.1f, %d runs", label, m, v[1], v[NR], NR
          if (pauses > 0) printf "; overhead over %d ms of pauses: %.1f ms", pauses, m - pauses
          printf "\n" }'
}
summary "Yes -> restart question" 750 "${results[@]}"
summary "confirmation gone -> restart question" 750 "${accepted[@]}"
summary "processor time of the remover and the X server" 0 "${cpus[@]}"
