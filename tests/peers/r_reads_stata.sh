#!/usr/bin/env bash
# Checks that R's foreign package reads the Stata files that zul writes,
# dates included (a "date" variable shown as quarters).  Skipped (exit 77)
# when R is not installed (Debian package r-base-core).
#   r_reads_stata.sh path/to/zul
set -euo pipefail
zul=$1
if ! command -v Rscript >/dev/null; then
  echo "SKIPPED: Rscript not found; install r-base-core to run this check"
  exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
cat >write.zu <<'ZU'
#include <zustd.h>
main() { savedata("t.dta", 0, 0, 0, 0, <1.5, -2; .NaN, 0.125; 3, 1e10>, {"gdp", "rate"}, 4, 1999, 4, 0, 0); }
ZU
env -u ZU3PATH "$zul" -b write.zu
actual=$(Rscript -e 'library(foreign); d <- read.dta("t.dta")
  cat(attr(d, "formats")[1], d$date, d$gdp, d$rate, "\n")')
expected="%tq 159 160 161 1.5 NA 3 -2 0.125 1e+10 "
if [ "$actual" = "$expected" ]; then
  echo "t.dta: read by R as written"
else
  echo "t.dta: R read"; echo "$actual"; exit 1
fi
