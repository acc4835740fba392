# The frame every screen test shares; source it with the script's arguments:
#
#   . "$(dirname "$0")/common.sh" <Busprobe> <Busclean> <output-folder> [tool...]
#
# Sets probe, clean and out (absolute), root (the source tree), loads the X
# helpers, checks that the tools named are installed, empties the output
# folder, and gives check, need, screen_start_remover, screen_check_removal and
# screen_finish. The EXIT trap runs screen_cleanup, which a script may extend by
# defining screen_cleanup_extra.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
screen_abs() { case "$1" in /*) echo "$1" ;; *) echo "$PWD/$1" ;; esac; }
probe=$(screen_abs "$1") clean=$(screen_abs "$2") out=$(screen_abs "$3")
shift 3
# shellcheck source=../../tools/xdrive.sh
. "$root/tools/xdrive.sh"

for tool in Xvfb xdotool xwininfo xprop import "$@"; do
  command -v "$tool" >/dev/null || { echo "missing $tool (tools/test installs it)" >&2; exit 1; }
done

rm -rf "$out"
mkdir -p "$out"
failures=0
check() {  # check <description> <command...>
  local what=$1
  shift
  if "$@"; then
    echo "ok   $what"
  else
    echo "FAIL $what"
    failures=$((failures + 1))
  fi
}
need() {  # stops the run when a window did not appear
  [ -n "$1" ] || { echo "FAIL $2 did not appear"; exit 1; }
}
screen_cleanup() {
  [ -n "${XDRIVE_PID:-}" ] && kill "$XDRIVE_PID" 2>/dev/null
  declare -F screen_cleanup_extra >/dev/null && screen_cleanup_extra
  xdrive_stop_xvfb
}
trap screen_cleanup EXIT
# Starts the remover of a demo image from its driver disk and waits for its
# window; sets pid and main.
screen_start_remover() {  # screen_start_remover <image> <log>
  xdrive_run "$1" BUSCLEAN.EXE "$2"
  pid=$XDRIVE_PID
  main=$(xdrive_wait_windows "$pid" 1)
  need "$main" "the remover window"
}
# Checks a demo image after a complete removal: the adapter's files and keys
# are gone, everything else stays.
screen_check_removal() {  # screen_check_removal <image>
  local win f reg
  win="$1/prefix/drive_c/windows"
  for f in system/QRXSER.VXD system32/drivers/QRXUSB.SYS inf/QRXSER.INF inf/QRXPORT.INF inf/OEM2.INF \
           inf/OEM2.pnf inf/other/TarnwickQRX.INF inf/Drvdata.bin inf/DRVIDX.BIN; do
    check "removed $f" [ ! -e "$win/$f" ]
  done
  for f in system/KERNEL32.DLL system32/drivers/USBD.SYS inf/MSPORTS.INF inf/oem1.inf inf/other/OtherMaker.INF; do
    check "kept $f" [ -e "$win/$f" ]
  done
  reg="$1/prefix/system.reg"
  check "the adapter's keys are gone from system.reg" \
    bash -c "! grep -qE 'VID_0E4B|QRXPORT|QRXSERIAL|QRX Port Monitor' '$reg'"
  check "the root hub and the other devices stay in system.reg" \
    bash -c "grep -q 'ROOT_HUB' '$reg' && grep -q 'VID_046D' '$reg' && grep -q 'Local Port' '$reg'"
}
# The last line of a run: all passed, or how many checks failed (status 1).
screen_finish() {  # screen_finish <what the checks were>
  [ "$failures" -eq 0 ] || { echo "$failures $1 checks failed"; exit 1; }
  echo "all $1 checks passed"
}
