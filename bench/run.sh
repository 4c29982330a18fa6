#!/usr/bin/env bash
# Runs the program's benchmarks on a Release build (make bench calls it with <build>-bench).
#   bench/run.sh <builddir>
# The workbook comparison comes last: its final line is
#   workbook: <t> times faster than openpyxl, <m> times its peak memory
set -euo pipefail

build=${1:?usage: bench/run.sh <builddir>}
here=$(cd "$(dirname "$0")" && pwd)
python=/usr/bin/python3   # Debian's own interpreter, which sees python3-openpyxl

# ---- workbook layer against openpyxl -------------------------------------------------------
work=$(mktemp -d "${TMPDIR:-/tmp}/workbook-bench-XXXXXX")
trap 'rm -rf "$work"' EXIT
if ! cmake --build "$build" --target workbook_bench >"$work/build.log" 2>&1; then
  cat "$work/build.log" >&2
  exit 1
fi
echo "workbook: making a workbook of 20 sheets x 50,004 cells ..."
"$python" "$here/make_workbook.py" "$work/input.xlsx"

field() { sed -n "s/.*$1=\([0-9.]*\).*/\1/p" <<<"$2"; }

ours=$("$build/bench/workbook_bench" "$work/input.xlsx" "$work/ours.xlsx")
echo "workbook layer: $ours"
theirs=$("$python" "$here/workbook_openpyxl.py" "$work/input.xlsx" "$work/openpyxl.xlsx")
echo "openpyxl:       $theirs"

awk -v ot="$(field seconds "$ours")" -v om="$(field peak_kb "$ours")" \
    -v pt="$(field seconds "$theirs")" -v pm="$(field peak_kb "$theirs")" \
    'BEGIN { printf "workbook: %.1f times faster than openpyxl, %.2f times its peak memory\n", pt / ot, om / pm }'
