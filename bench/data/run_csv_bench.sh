#!/usr/bin/env bash
# Loads a 100 MB CSV (10^6 rows of a date and 12 numbers, made by
# make_csv.py) with zul's loaddata and with R's read.csv, one after the
# other, and prints the speed of each, the ratio and zul's peak memory
# against the data held as doubles.
#
# usage: bench/data/run_csv_bench.sh [path/to/zul] [rows]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
zul=${1:-$here/../../build/release/stage/bin/zul}
rows=${2:-1000000}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
csv=$work/bench.csv

python3 "$here/make_csv.py" "$csv" "$rows"
bytes=$(stat -c %s "$csv")
cat "$csv" >/dev/null  # both loads start from the page cache

/usr/bin/time -f "zu peak %M KB" -o "$work/zu.mem" "$zul" -b "$here/load_csv.zu" "$csv" >"$work/zu.out"
zu_s=$(awk '/zu seconds/ {print $3}' "$work/zu.out")
zu_kb=$(awk '{print $3}' "$work/zu.mem")

if command -v Rscript >/dev/null; then
  r_s=$(Rscript -e "t <- system.time(d <- read.csv('$csv'))[['elapsed']]; cat(t)")
else
  echo "Rscript not found (Debian package r-base-core): R's time skipped" >&2
  r_s=
fi

awk -v b="$bytes" -v z="$zu_s" -v r="$r_s" -v kb="$zu_kb" -v n="$rows" 'BEGIN {
  mb = b / 1e6
  printf "file: %.1f MB, %d rows\n", mb, n
  printf "zu loaddata: %.2f s, %.0f MB/s, peak %.0f MB (data as doubles %.0f MB, ratio %.2f)\n",
         z, mb / z, kb / 1024, n * 13 * 8 / 1048576, kb * 1024 / (n * 13 * 8)
  if (r != "") printf "R read.csv:  %.2f s, %.0f MB/s; zu is %.1f times as fast\n", r, mb / r, r / z
}'
