#!/usr/bin/env bash
# Runs every fuzz target for a bounded time on its seed corpus (copied to a
# scratch folder, so that the committed seeds stay as they are).  A crash
# leaves its input in the scratch folder and fails the run.
#   run_fuzz.sh BUILD_DIR [SECONDS_EACH]   (default 20)
set -euo pipefail
build=$(cd "$1" && pwd) seconds=${2:-20}
here=$(cd "$(dirname "$0")" && pwd)
scratch=$build/fuzz-runs
rm -rf "$scratch" && mkdir -p "$scratch"
failed=0 passed=0
for target in "$build"/tests/fuzz/fuzz_*; do
  name=${target##*/fuzz_}
  corpus=$scratch/$name
  cp -r "$here/corpus/$name" "$corpus"
  dict=()
  case $name in
    compile) dict=(-dict="$here/zu.dict") ;;
    format | scan) dict=(-dict="$here/format.dict") ;;
  esac
  # A program loaded from an object file may ask for a huge array or matrix
  # of its own accord: there a single allocation above 256 MB is refused
  # (null, as on a machine without the memory) and the program ends in its
  # "out of memory" error.  The readers keep the strict limit, since a
  # file that makes them allocate far beyond its size is a fault.
  asan=detect_leaks=0:allocator_may_return_null=1
  [ "$name" = objfile ] && asan=$asan:max_allocation_size_mb=256
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
