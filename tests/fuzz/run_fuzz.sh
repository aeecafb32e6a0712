#!/usr/bin/env bash
# Runs every fuzz target for a bounded time on its seed corpus (copied to a
# scratch folder, so that the committed seeds stay as they are).  A crash
# leaves its input in the scratch folder and fails the run.
#   run_fuzz.sh BUILD_DIR [SECONDS_EACH]   (default 20)
set -euo pipefail
build=$(cd "$1" && pwd) seconds=${2:-20}
here=$(cd "$(dirname "$0")" && pwd)
. "$here/target_options.sh"
scratch=$build/fuzz-runs
rm -rf "$scratch" && mkdir -p "$scratch"
failed=0 passed=0
for target in "$build"/tests/fuzz/fuzz_*; do
  name=${target##*/fuzz_}
  corpus=$scratch/$name
  cp -r "$here/corpus/$name" "$corpus"
  target_options "$name"
  if (cd "$scratch" && ASAN_OPTIONS=$asan \
        "$target" "$corpus" "${dict[@]}" -max_total_time="$seconds" -seed=1 -timeout=60 -rss_limit_mb=2048 \
        -max_len=65536 -close_fd_mask=3 -print_final_stats=1 >"$scratch/$name.log" 2>&1); then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$scratch/$name.log")
    cov=$(grep -o 'cov: [0-9]*' "$scratch/$name.log" | tail -1)
    echo "fuzz $name: ${runs:-?} runs, ${cov:-cov: ?}, no crash"
    passed=$((passed + 1))
  else
    echo "fuzz $name: FAILED, see $scratch/$name.log"
    tail -30 "$scratch/$name.log"
    failed=$((failed + 1))
  fi
done
echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
