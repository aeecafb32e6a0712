#!/bin/bash
# Runs the five workloads in Zu and in Lua 5.4, Python 3, R and Octave, one
# after the other in the same run, and prints each time (seconds, start-up
# excluded) and the ratio Zu / peer.  Missing peers are installed from the
# Debian packages first.
#   bench/run_peers.sh [path of zul]   (default: build-bench/stage/bin/zul)
set -u
here=$(cd "$(dirname "$0")" && pwd)
zul=${1:-$here/../build-bench/stage/bin/zul}
if [ ! -x "$zul" ]; then
    echo "zul not found at $zul (build: cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release &&" \
         "cmake --build build-bench --target zul_launcher)" >&2
    exit 1
fi

need() {  # command package
    command -v "$1" >/dev/null 2>&1 && return 0
    echo "installing $2" >&2
    apt-get install -y -q "$2" >/dev/null 2>&1 || { apt-get update -q >/dev/null 2>&1 &&
        apt-get install -y -q "$2" >/dev/null 2>&1; }
    command -v "$1" >/dev/null 2>&1
}
# The workloads are single-threaded: a BLAS thread pool started at load
# time would only add its own start-up to the CPU time of whoever links
# it (Zu, R and Octave alike).
export OPENBLAS_NUM_THREADS=1

need lua5.4 lua5.4
need python3 python3
need Rscript r-base-core
need octave-cli octave

# CPU seconds (user + system) of one command: every figure is CPU time,
# so that other work on the machine does not count.
cpu_time() {
    local TIMEFORMAT='%3U %3S'
    { time "$@" >/dev/null 2>&1; } 2>&1 | awk '{ print $1 + $2 }'
}

# Every figure is the best of $runs runs (default 3), for Zu and the peers
# alike: the machine is shared, and the least disturbed run is the one
# that says most about the interpreter.
runs=${ZU_BENCH_RUNS:-3}
best_of() {  # command ...: the smallest number it prints in $runs runs
    local best="" t k
    for ((k = 0; k < runs; ++k)); do
        t=$("$@")
        [ -z "$t" ] && continue
        if [ -z "$best" ] || [ "$(echo "$t < $best" | bc -l)" = 1 ]; then best=$t; fi
    done
    echo "${best:--}"
}

# Seconds of a Zu program, start-up excluded (the empty program's time).
zu_time() {
    echo "$(best_of cpu_time "$zul" -b "$here/zu/$1.zu") - $startup" | bc -l
}

peer_once() {  # interpreter workload extension
    case "$1" in
        octave-cli) "$1" --no-gui -q "$here/peers/$2.$3" 2>/dev/null | tail -1 ;;
        *) "$1" "$here/peers/$2.$3" 2>/dev/null | tail -1 ;;
    esac
}

peer_time() {  # interpreter workload extension
    command -v "$1" >/dev/null 2>&1 || { echo "-"; return; }
    best_of peer_once "$@"
}

ratio() {
    [ "$2" = "-" ] && { echo "-"; return; }
    echo "scale=3; $1 / $2" | bc -l
}

startup=$(best_of cpu_time "$zul" -b "$here/zu/startup.zu")

printf "%-12s %8s %8s %8s %8s %8s   %s\n" workload zu lua python R octave "zu/lua zu/python zu/R zu/octave"
for w in scalar_loop fib matrix_fill calls string_grow; do
    z=$(zu_time $w)
    l=$(peer_time lua5.4 $w lua)
    p=$(peer_time python3 $w py)
    r=$(peer_time Rscript $w R)
    o=$(peer_time octave-cli $w m)
    printf "%-12s %8.3f %8s %8s %8s %8s   %s %s %s %s\n" $w "$z" "$l" "$p" "$r" "$o" \
        "$(ratio "$z" "$l")" "$(ratio "$z" "$p")" "$(ratio "$z" "$r")" "$(ratio "$z" "$o")"
done
