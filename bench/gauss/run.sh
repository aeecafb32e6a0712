#!/bin/bash
# Times each Gauss program of this folder run with "zul -g" against the
# same computation written in Zu (NAME.zu beside it), start-up included:
# the least CPU time (user + system) of five runs each, and the ratio.
#   bench/gauss/run.sh [path/to/zul]
set -euo pipefail
cd "$(dirname "$0")"
zul=${1:-../../build/release/stage/bin/zul}
runs=5
timing=$(mktemp)
trap 'rm -f "$timing"' EXIT

cpu_seconds() {
    local best=""
    for _ in $(seq $runs); do
        local t
        /usr/bin/time -o "$timing" -f "%U %S" "$@" > /dev/null 2>&1
        t=$(awk '{ printf "%.3f", $1 + $2 }' "$timing")
        if [ -z "$best" ] || awk -v a="$t" -v b="$best" 'BEGIN { exit !(a < b) }'; then
            best=$t
        fi
    done
    echo "$best"
}

printf "%-20s %10s %10s %8s\n" program "zul -g" "Zu" ratio
for gss in *.gss; do
    name=${gss%.gss}
    g=$(cpu_seconds "$zul" -b -g "$gss")
    z=$(cpu_seconds "$zul" -b "$name.zu")
    printf "%-20s %10s %10s %8s\n" "$name" "$g" "$z" "$(awk -v a="$g" -v b="$z" 'BEGIN { printf "%.2f", a / b }')"
done
