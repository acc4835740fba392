# The frame every screen test shares; source it with the script's arguments:
#
#   . "$(dirname "$0")/common.sh" <Busprobe> <Busclean> <output-folder> [tool...]
#
# Sets probe, clean and out (absolute), root (the source tree), loads the X
# helpers, checks that the tools named are installed, empties the output
# folder, and gives check, need, screen_start_remover and screen_finish. The
# EXIT trap runs screen_cleanup, which a script may extend by defining
# screen_cleanup_extra.
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
# The last line of a run: all passed, or how many checks failed (status 1).
screen_finish() {  # screen_finish <what the checks were>
  [ "$failures" -eq 0 ] || { echo "$failures $1 checks failed"; exit 1; }
  echo "all $1 checks passed"
}
