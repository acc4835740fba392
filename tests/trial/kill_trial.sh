#!/usr/bin/env bash
# shellcheck source-path=SCRIPTDIR
# Crash trial of the remover's registry writes. The real remover runs on a
# machine image with a large system.reg and is killed (SIGKILL) at a random
# moment of its removal run, each time from a fresh copy of the start state.
# After each kill the file must be whole: our reader lists every key, Wine
# reads it (a copy of it, in a Wine prefix of the trial's own), its keys are
# the start state's minus some of the keys a full run deletes, and at most one
# temporary file is left beside it.
#
#   kill_trial.sh [--runs N] [--seed S] [--busview <Busview>] <Busprobe> <Busclean> <trial_regkeys> <work-folder>
#
# With --busview it is the unattended removal that is killed: "Busview
# Unins.dat --remove" started in the image's C:\ (no display then), killed at
# a random moment after its start.
#
# Status 0 when every run passed, 1 on any failure, 77 when Wine is missing.
# The Wine prefix (<work-folder>/wine) is made once and kept for later trials.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
usage() { echo "usage: $0 [--runs N] [--seed S] [--busview <Busview>] <Busprobe> <Busclean> <trial_regkeys> <work-folder>" >&2; exit 2; }
runs=100 seed=$((($(date +%s%N) / 1000) % 32768)) busview=
while [ $# -gt 0 ]; do
  case $1 in
    --runs) runs=${2:-}; shift 2 || usage ;;
    --seed) seed=${2:-}; shift 2 || usage ;;
    --busview) busview=${2:-}; shift 2 || usage ;;
    -*) usage ;;
    *) break ;;
  esac
done
if [ $# -ne 4 ] || ! [[ $runs =~ ^[0-9]+$ && $seed =~ ^[0-9]+$ ]]; then usage; fi
abs() { case "$1" in /*) echo "$1" ;; *) echo "$PWD/$1" ;; esac; }
probe=$(abs "$1") clean=$(abs "$2") regkeys=$(abs "$3") work=$(abs "$4")
[ -z "$busview" ] || busview=$(abs "$busview")
# shellcheck source=../../tools/xdrive.sh
. "$root/tools/xdrive.sh"
# shellcheck source=trial_wine.sh
. "$here/trial_wine.sh"

wine_find || { echo "Wine is not installed: the crash trial is skipped"; exit 77; }
tools=(iconv awk)
[ -n "$busview" ] || tools+=(Xvfb xdotool)
for tool in "${tools[@]}"; do
  command -v "$tool" >/dev/null || { echo "missing $tool (tools/test installs it)" >&2; exit 1; }
done
case "$work" in *[\ \'\"\\]*) echo "the work folder's path must have no blanks, quotes or backslashes" >&2; exit 2 ;; esac
mkdir -p "$work"
find "$work" -mindepth 1 -maxdepth 1 ! -name wine -exec rm -rf {} +
keys="$work/keys"
mkdir -p "$keys"
: > "$keys/wine-retries"
RANDOM=$seed
began=$SECONDS

cleanup() {
  [ -n "${XDRIVE_PID:-}" ] && kill -KILL "$XDRIVE_PID" 2>/dev/null
  xdrive_stop_xvfb
  wine_stop
}
trap cleanup EXIT

now_us() { echo "${EPOCHREALTIME/./}"; }
mtime_us() { echo $(($(date -r "$1" +%s%N) / 1000)); }
ms() { echo $((($1 + 500) / 1000)); }
norm() { tr '[:upper:]' '[:lower:]' | LC_ALL=C sort -u; }
# Keys deleted as a whole: those whose parent was not deleted with them.
units() { awk '{ k[$0] = 1 } END { n = 0; for (p in k) { q = p; sub(/\\[^\\]*$/, "", q); if (q == p || !(q in k)) n++ } print n }' "$1"; }

# --- the start state, the Wine prefix, the display ----------------------------------
start="$work/start"
"$root/tools/demo-image" "$start" "$probe" "$clean" >/dev/null || exit 1
"$here/trial_image.sh" "$start" || exit 1
echo "start state: system.reg of $(stat -c %s "$start/prefix/system.reg") bytes, $("$regkeys" "$start/prefix/system.reg" | wc -l) keys"
wine_prefix "$work/wine" || exit 1
[ -n "$busview" ] || xdrive_start_xvfb || exit 1

"$regkeys" "$start/prefix/system.reg" | norm > "$keys/start" || { echo "our reader refuses the start state"; exit 1; }
wine_keys "$start/prefix/system.reg" "$keys/start.wine" || { echo "Wine does not read the start state"; exit 1; }
# Keys Wine makes of its own on every start; they must stay the same in every check.
LC_ALL=C comm -13 "$keys/start" "$keys/start.wine" > "$keys/wine-own"
if [ -n "$(LC_ALL=C comm -23 "$keys/start" "$keys/start.wine")" ]; then
  echo "Wine does not see every key of the start state"; exit 1
fi

# A fresh copy of the start state; the driver disk link follows the copy.
fresh() {
  rm -rf "$1"
  cp -a "$start" "$1"
  ln -sfn "$1/disk" "$1/prefix/dosdevices/a:"
}
# Starts the remover on an image, ticks the device, presses "Uninstall" and
# waits for the confirmation box. REMOVER_PID names the process.
to_confirmation() {
  xdrive_run "$1" BUSCLEAN.EXE "$1/busclean.log"
  REMOVER_PID=$XDRIVE_PID
  local main
  main=$(xdrive_wait_windows "$REMOVER_PID" 1) || return 1
  sleep 0.3  # the window takes input once it is drawn
  xdrive_click "$main" 30 214  # the device check box
  sleep 0.3
  xdrive_click "$main" 379 202  # "Uninstall"
  CONFIRM=$(xdrive_wait_windows "$REMOVER_PID" 2) || return 1
  [ "$(xdrive_title "$CONFIRM")" = "Uninstall driver" ] || return 1
  sleep 0.2  # the box has the input focus
}
# Starts the unattended removal on an image: Busview --remove, from C:\ as
# the remover is run. REMOVER_PID names the process.
start_busview() {
  (cd "$1/prefix/drive_c" && WINEPREFIX="$1/prefix" exec "$busview" "$1/disk/Unins.dat" --remove) \
    > "$1/busview.log" 2>&1 &
  REMOVER_PID=$!
}
# Waits (up to 30 s) for the window titled "Restart".
wait_restart() {
  local id
  for _ in $(seq 3000); do
    for id in $(xdrive_windows "$REMOVER_PID"); do
      [ "$id" != "$CONFIRM" ] && [ "$(xdrive_title "$id" 2>/dev/null)" = "Restart" ] && return 0
    done
    kill -0 "$REMOVER_PID" 2>/dev/null || return 1
    sleep 0.01
  done
  return 1
}

# --- the reference: one full run ---------------------------------------------------
ref="$work/reference"
fresh "$ref"
if [ -n "$busview" ]; then
  t0=$(now_us)  # the moment Busview starts
  start_busview "$ref"
  wait "$REMOVER_PID"; status=$?
  run_us=$(($(now_us) - t0))
  # 3010, "removed, a restart completes it", in the 8 bits of a Linux status.
  [ "$status" -eq $((3010 % 256)) ] || { echo "Busview --remove ended with status $status:"; cat "$ref/busview.log"; exit 1; }
else
  to_confirmation "$ref" || { echo "the remover did not come to its confirmation box"; exit 1; }
  t0=$(now_us)  # the moment Yes is pressed
  xdotool key Return
  wait_restart || { echo "the full run did not come to the restart question"; exit 1; }
  run_us=$(($(now_us) - t0))
  xdotool key n
  xdrive_wait_exit "$REMOVER_PID" || exit 1
  XDRIVE_PID=
fi
lockfile="$ref/prefix/system.reg.lock"
[ -e "$lockfile" ] || { echo "the full run wrote no registry change"; exit 1; }
first_us=$(($(mtime_us "$lockfile") - t0))  # made at the first deletion
last_us=$(($(mtime_us "$ref/prefix/system.reg") - t0))
"$regkeys" "$ref/prefix/system.reg" | norm > "$keys/reference" || { echo "our reader refuses the full run's result"; exit 1; }
LC_ALL=C comm -23 "$keys/start" "$keys/reference" > "$keys/deleted"
total=$(units "$keys/deleted")
if [ -n "$busview" ]; then
  echo "full run of Busview --remove: $total deletions ($(wc -l < "$keys/deleted") keys); registry writes from $(ms "$first_us") to $(ms "$last_us") ms after its start; ended at $(ms "$run_us") ms"
else
  echo "full run: $total deletions ($(wc -l < "$keys/deleted") keys); registry writes from $(ms "$first_us") to $(ms "$last_us") ms after Yes; restart question at $(ms "$run_us") ms"
fi
[ "$total" -ge 10 ] || { echo "the full run deleted too little for a trial"; exit 1; }
[ -z "$(LC_ALL=C comm -13 "$keys/start" "$keys/reference")" ] || { echo "the full run added keys"; exit 1; }

# --- the checks after a kill --------------------------------------------------------
# check_state <image> <name>: prints the faults; LANDED and TEMPS describe the state.
check_state() {
  local reg="$1/prefix/system.reg" name=$2 bad=0
  LANDED='?' TEMPS=$(find "$1/prefix" -maxdepth 1 -name '.system.reg.tmp-*' | wc -l)
  if ! "$regkeys" "$reg" > "$keys/$name.raw" 2> "$keys/$name.err"; then
    echo "    our reader refuses system.reg: $(head -c 300 "$keys/$name.err")"; bad=1
  fi
  norm < "$keys/$name.raw" > "$keys/$name"
  # Wine's reading is the same each time for the same file; a second try
  # tells a Wine start that went wrong from a file Wine cannot read.
  local ok=0
  if wine_keys "$reg" "$keys/$name.wine"; then
    ok=1
  else
    echo "$name: $WINE_WHY" >> "$keys/wine-retries"
    wine_keys "$reg" "$keys/$name.wine" && ok=1
  fi
  if [ $ok -eq 0 ]; then
    echo "    Wine does not read system.reg: $WINE_WHY"; bad=1
  else
    local missing other
    missing=$(LC_ALL=C comm -23 "$keys/$name" "$keys/$name.wine" | head -3)
    other=$(LC_ALL=C comm -13 "$keys/$name" "$keys/$name.wine" | LC_ALL=C comm -3 - "$keys/wine-own" | head -3)
    [ -z "$missing" ] || { echo "    keys Wine does not see: $missing"; bad=1; }
    [ -z "$other" ] || { echo "    Wine's key list differs besides its own keys: $other"; bad=1; }
  fi
  local added unexpected
  added=$(LC_ALL=C comm -13 "$keys/start" "$keys/$name" | head -3)
  LC_ALL=C comm -23 "$keys/start" "$keys/$name" > "$keys/$name.gone"
  unexpected=$(LC_ALL=C comm -23 "$keys/$name.gone" "$keys/deleted" | head -3)
  [ -z "$added" ] || { echo "    keys that were not in the start state: $added"; bad=1; }
  [ -z "$unexpected" ] || { echo "    keys gone that a full run keeps: $unexpected"; bad=1; }
  LANDED=$(units "$keys/$name.gone")
  [ "$TEMPS" -le 1 ] || { echo "    $TEMPS temporary files beside system.reg"; bad=1; }
  return $bad
}

check_state "$ref" reference > "$keys/reference.report" ||
  { echo "the full run's result fails the checks:"; cat "$keys/reference.report"; exit 1; }

# --- the kills ---------------------------------------------------------------------
# Two runs in three: a moment in the registry writes of the full run (with a
# margin); every third run: a moment anywhere in the run. Busview ends by
# itself after its last write, so its moments stay before that.
reg_lo=$((first_us > 20000 ? first_us - 20000 : 0)) reg_hi=$((last_us + 20000))
span_us=$run_us
[ -z "$busview" ] || { reg_hi=$last_us; span_us=$last_us; }
pick_us() { echo $(($1 + (RANDOM * 32768 + RANDOM) % ($2 - $1 + 1))); }
passed=0 failed=0 retried=0 in_writes=0 after_run=0 none=0 some=0 all=0 with_temp=0 ended_first=0
moments=() landed=() failures=()
echo "seed $seed; $runs runs"
for n in $(seq "$runs"); do
  if [ $((n % 3)) -ne 0 ]; then delay=$(pick_us "$reg_lo" "$reg_hi"); else delay=$(pick_us 0 "$span_us"); fi
  img="$work/run"
  if [ -n "$busview" ]; then
    fresh "$img"
    t0=$(now_us)
    start_busview "$img"
  else
    # A click the display lost leaves the remover without its box; nothing is
    # deleted before Yes, so the run starts once more from a fresh copy.
    ready=0
    for attempt in 1 2; do
      fresh "$img"
      if to_confirmation "$img"; then ready=1; break; fi
      kill -KILL "$REMOVER_PID" 2>/dev/null; wait "$REMOVER_PID" 2>/dev/null
      [ "$attempt" -eq 1 ] && { retried=$((retried + 1)); echo "run $n: no confirmation box; starting the remover again"; }
    done
    if [ "$ready" -eq 0 ]; then
      echo "run $n: the remover did not come to its confirmation box twice: FAILED"
      failed=$((failed + 1)); failures+=("$n"); continue
    fi
    t0=$(now_us)
    xdotool key Return
  fi
  sleep "$(printf '%d.%06d' $((delay / 1000000)) $((delay % 1000000)))"
  killed_us=$(($(now_us) - t0))
  kill -KILL "$REMOVER_PID" 2>/dev/null
  wait "$REMOVER_PID" 2>/dev/null
  ended=$?  # 137 when the kill ended it
  XDRIVE_PID=
  moments+=("$killed_us")
  [ "$killed_us" -ge "$first_us" ] && [ "$killed_us" -le "$last_us" ] && in_writes=$((in_writes + 1))
  [ "$killed_us" -gt "$run_us" ] && after_run=$((after_run + 1))
  check_state "$img" "run$n" > "$keys/run$n.report"; status=$?
  after="after Yes"
  if [ -n "$busview" ]; then
    after="after its start"
    # A loaded machine may let Busview finish first: then its run is whole.
    if [ "$ended" -eq $((3010 % 256)) ]; then
      ended_first=$((ended_first + 1)); after="after its start (it had ended by itself)"
      [ "$LANDED" = "$total" ] || { echo "    it ended by itself with $LANDED of $total deletions" >> "$keys/run$n.report"; status=1; }
      ended=137
    fi
  fi
  if [ "$ended" -ne 137 ]; then echo "    the remover had ended by itself (status $ended) before the kill" >> "$keys/run$n.report"; status=1; fi
  line="run $n: killed $(ms "$killed_us") ms $after, $LANDED of $total deletions landed, $TEMPS temporary file(s)"
  if [ $status -eq 0 ]; then
    passed=$((passed + 1)); echo "$line: ok"
  else
    failed=$((failed + 1)); failures+=("$n"); echo "$line: FAILED"; cat "$keys/run$n.report"
    rm -rf "$work/failed-$n"; mv "$img" "$work/failed-$n"
  fi
  landed+=("$LANDED")
  case $LANDED in 0) none=$((none + 1)) ;; "$total") all=$((all + 1)) ;; \?) ;; *) some=$((some + 1)) ;; esac
  [ "$TEMPS" -ge 1 ] && with_temp=$((with_temp + 1))
done

# --- figures -----------------------------------------------------------------------
since=Yes
[ -z "$busview" ] || since="Busview's start"
if [ ${#moments[@]} -gt 0 ]; then
  read -r lo mid hi < <(printf '%s\n' "${moments[@]}" | sort -n | awk '{ v[NR] = $1 } END { print v[1], v[int((NR + 1) / 2)], v[NR] }')
  echo "kill moments: $(ms "$lo") to $(ms "$hi") ms after $since, median $(ms "$mid"); $in_writes during the full run's registry writes ($(ms "$first_us")-$(ms "$last_us") ms), $after_run after its end ($(ms "$run_us") ms)"
fi
[ ${#landed[@]} -gt 0 ] && echo "deletions landed per kill (landed x runs): $(printf '%s\n' "${landed[@]}" | sort -n | uniq -c | awk '{ printf "%s%sx%s", (NR > 1 ? ", " : ""), $2, $1 }')"
echo "deletions landed at the kill: none in $none runs, some in $some, all $total in $all; a temporary file left in $with_temp"
if [ -n "$busview" ]; then
  echo "Busview had ended by itself before its kill: $ended_first times; Wine's reading tried again: $(wc -l < "$keys/wine-retries") times"
else
  echo "remover started again after a lost click: $retried times; Wine's reading tried again: $(wc -l < "$keys/wine-retries") times"
fi
[ -s "$keys/wine-retries" ] && sed 's/^/    /' "$keys/wine-retries"
[ "$failed" -eq 0 ] || echo "failed runs: ${failures[*]} (their images are in $work/failed-<run>)"
echo "the trial took $((SECONDS - began)) s"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
