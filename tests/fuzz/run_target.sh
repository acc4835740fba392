#!/usr/bin/env bash
# Runs one libFuzzer target for a while on a fresh copy of its seeds, so the
# committed seeds are never changed. Inputs that fail land in <work>/artifacts.
#
# usage: run_target.sh <fuzzer> <seed folder> <work folder> <seconds> [dictionary]
set -euo pipefail
if [ $# -lt 4 ]; then
  echo "usage: $0 <fuzzer> <seed folder> <work folder> <seconds> [dictionary]" >&2
  exit 2
fi
fuzzer=$1 seeds=$2 work=$3 seconds=$4 dict=${5:-}

rm -rf "$work"
mkdir -p "$work/corpus" "$work/artifacts"
cp "$seeds"/* "$work/corpus/"

args=(-max_total_time="$seconds" -timeout=10 -print_final_stats=1 -artifact_prefix="$work/artifacts/")
[ -n "$dict" ] && args+=(-dict="$dict")
# Targets that write files (the registry round trip) run much faster in memory.
if [ -z "${TMPDIR:-}" ] && [ -d /dev/shm ] && [ -w /dev/shm ]; then export TMPDIR=/dev/shm; fi
exec "$fuzzer" "${args[@]}" "$work/corpus"
