#!/usr/bin/env bash
# Long fuzzing runs that add up across sessions: each named target runs in
# chunks of at most ten minutes until the processor time it has used,
# summed over every chunk in the ledger, reaches the goal.  The corpus of
# each target and the ledger live in a folder of their own, so a run that
# is stopped goes on from where it was.
#   long_run.sh BUILD_DIR STATE_DIR TARGET...   (GOAL: seconds, default 1800)
# The ledger (STATE_DIR/ledger.tsv) has a line per chunk: target, processor
# seconds, runs, coverage, exit status, time.  A chunk that ends in a crash
# or a hang stops its target; its input stays in STATE_DIR/artifacts/TARGET.
# The limit per input is generous, so that a run paused for a while (say,
# for a benchmark on a quiet machine) is not taken for a hang.
set -uo pipefail
build=$(cd "$1" && pwd) state=$2
shift 2
here=$(cd "$(dirname "$0")" && pwd)
. "$here/target_options.sh"
goal=${GOAL:-1800}
mkdir -p "$state"
state=$(cd "$state" && pwd)
ledger=$state/ledger.tsv
for name in "$@"; do
  target=$build/tests/fuzz/fuzz_$name
  [ -x "$target" ] || { echo "long_run: no target $target" >&2; exit 2; }
  corpus=$state/corpus/$name artifacts=$state/artifacts/$name
  mkdir -p "$corpus" "$artifacts"
  [ -n "$(ls -A "$corpus")" ] || cp -r "$here/corpus/$name/." "$corpus/"
  target_options "$name"
  while :; do
    used=$(awk -v n="$name" '$1 == n { s += $2 } END { printf "%d", s }' "$ledger" 2>/dev/null || echo 0)
    left=$((goal - ${used:-0}))
    [ "$left" -gt 5 ] || break
    chunk=$((left < 600 ? left : 600))
    log=$artifacts/run-$(date +%s).log
    (cd "$artifacts" && /usr/bin/time -f '%U %S' -o "$log.time" env ASAN_OPTIONS=$asan \
      "$target" "$corpus" "${dict[@]}" -max_total_time="$chunk" -timeout=1500 -rss_limit_mb=2048 \
      -max_len=65536 -close_fd_mask=3 -print_final_stats=1 >"$log" 2>&1)
    status=$?
    cpu=$(awk '{ print $1 + $2 }' "$log.time" | tail -1)
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
    printf '%s\t%s\t%s\t%s\t%s\t%s\n' "$name" "${cpu:-0}" "${runs:-0}" "${cov:-?}" "$status" "$(date -u +%FT%T)" >>"$ledger"
    if [ "$status" -ne 0 ]; then
      echo "long_run: $name ended with status $status, see $log"
      break
    fi
  done
done
