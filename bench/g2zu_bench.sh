#!/bin/sh
# Speed of the converter: writes a Gauss program of about 10,000 lines
# (procedures with loops, branches, constants, prints and calls, in both
# styles) and times its conversion.  The target is under a second.
#   bench/g2zu_bench.sh [path/to/g2zu]   (default: build/release/stage/bin/g2zu)
set -e
g2zu=${1:-build/release/stage/bin/g2zu}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prg=$work/big.prg
i=1
while [ $i -le 400 ]; do
    cat >>"$prg" <<GAUSS
/* block $i: a procedure and the statements that call it */
proc (2) = stats$i(x, &f);
    local f:proc;
    local m, s, k, n;
    n = rows(x);
    m = 0;
    for k (1, n, 1);
        m = m + f(x[k]);
    endfor;
    m = m / n;
    s = sqrt(sumc((x - m).^2) / (n - 1)); // spread
    if s > 1;
        s = s * 1.0;
    elseif s < 0;
        s = 0;
    else;
        s = abs(s);
    endif;
    retp(m, s);
endp;
fn sq$i(v) = v .* v;
let c$i[2,2] = 1 2 3 4;
x$i = seqa(1, 1, 10) + $i;
{ mean$i, sd$i } = stats$i(x$i, &sq$i);
? "block $i" mean$i sd$i;
print ftos(mean$i, "%*.*lf", 10, 4);
GAUSS
    i=$((i + 1))
done
lines=$(wc -l <"$prg")
start=$(date +%s.%N)
"$g2zu" "$prg" "$work/big" </dev/null 2>"$work/err" || true
end=$(date +%s.%N)
tail -1 "$work/err"
awk -v s="$start" -v e="$end" -v n="$lines" 'BEGIN { printf "converted %d lines in %.3f seconds\n", n, e - s }'
