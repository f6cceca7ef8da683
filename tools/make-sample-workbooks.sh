#!/usr/bin/env bash
# Rebuilds the sample workbooks in tests/data that LibreOffice saved, from the CSV files
# beside them: workbook-*.csv becomes workbook-*.xlsx, and workbook-header-b.csv also the
# legacy workbook-legacy.xls. Only needed when a CSV changes: the workbooks are committed,
# so that the tests never need LibreOffice (apt-get install libreoffice-calc-nogui).
# Usage: tools/make-sample-workbooks.sh
set -euo pipefail
data="$(cd "$(dirname "$0")/.." && pwd)/tests/data"
command -v soffice >/dev/null || { echo "missing soffice (libreoffice-calc-nogui)" >&2; exit 1; }
profile=$(mktemp -d)
out=$(mktemp -d)
trap 'rm -rf "$profile" "$out"' EXIT
# CSV import: comma, double quotes, UTF-8 (76), from line 1, special numbers (dates) detected.
filter='CSV:44,34,76,1,,0,false,true,true'
convert() {  # convert FORMAT CSV...
  local format=$1; shift
  timeout 300 soffice -env:UserInstallation="file://$profile" --headless --infilter="$filter" \
    --convert-to "$format" --outdir "$out" "$@" >/dev/null
}
convert xlsx "$data"/workbook-*.csv
convert xls "$data/workbook-header-b.csv"
for csv in "$data"/workbook-*.csv; do
  name=$(basename "$csv" .csv)
  mv "$out/$name.xlsx" "$data/$name.xlsx"
done
mv "$out/workbook-header-b.xls" "$data/workbook-legacy.xls"
ls -l "$data"/workbook-*.xlsx "$data"/workbook-legacy.xls
