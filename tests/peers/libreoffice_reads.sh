#!/usr/bin/env bash
# Checks that LibreOffice reads the worksheets that zul writes: each is
# converted to CSV by LibreOffice (headless) and compared with the table
# saved.  Skipped (exit 77) when LibreOffice is not installed (Debian
# package libreoffice-calc-nogui).
#   libreoffice_reads.sh path/to/zul
set -euo pipefail
zul=$1
here=$(cd "$(dirname "$0")" && pwd)
if ! command -v soffice >/dev/null; then
  echo "SKIPPED: soffice not found; install libreoffice-calc-nogui to run this check"
  exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
env -u ZU3PATH "$zul" -b "$here/write_for_libreoffice.zu"
expected=$'Date,gdp,rate\n1999Q4,1.5,-2\n2000Q1,,0.125\n2000Q2,3,10000000000'
status=0
for f in t.xls t.xlsx t.wk1 t.wks; do
  mkdir -p "out_$f"
  soffice -env:UserInstallation=file://"$work"/profile --headless --convert-to csv \
    --outdir "out_$f" "$f" >/dev/null 2>&1
  actual=$(cat "out_$f/t.csv" 2>/dev/null || echo "(not converted)")
  if [ "$actual" = "$expected" ]; then
    echo "$f: read by LibreOffice as written"
  else
    echo "$f: LibreOffice read"; echo "$actual"; status=1
  fi
done
exit $status
