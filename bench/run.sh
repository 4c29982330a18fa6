#!/usr/bin/env bash
# Runs the program's benchmarks on a Release build (make bench calls it with <build>-bench).
#   bench/run.sh <builddir>
# The workbook comparison prints the recalculation time after the 10,000 writes beside the read
# time, and then
#   workbook: <t> times faster than openpyxl, <m> times its peak memory
# Then the fixed cost of a small workbook:
#   small workbook: <t> ms to open, write one cell and save a 10-sheet workbook of 1,000 cells a
#   sheet, <r> times faster than openpyxl
# Then the formula engine beside LibreOffice, and the recalculation of columns chained by
# INDIRECT and OFFSET:
#   formulas: <r> times faster than LibreOffice recalculating the same workbook
#   chains: <t> s for 10,000 rows ..., <t2> s for 100,000 rows (<r> times for 10 times the rows)
# Then the update run, for 100 and for 1,000 user files:
#   update run: <t> s for 100 user files into 10 masters, <r> times faster than openpyxl, <f> times
#   the layer's own read-and-save
#   update run: <t> s for 1,000 user files into 100 masters, <r> times ..., <f> times ...
# Then the spreadsheet program's sheet view:
#   sheet view: <t> s from start to the first painted sheet of a 1,000,000-cell workbook, <r> times
#   faster than LibreOffice loading it headless, scrolling <f> ms a page
# The whole budget cycle (each step's seconds for 100, for 1,000 and for 10,000 users, then)
#   cycle: <t> s for 100 users, <t2> s for 1,000 users, <t3> s for 10,000 users
# and how each step grows with ten times the users (linear: at most 11 times the time):
#   cycle step <name>: <s> s, <s2> s, <s3> s for 100, 1,000, 10,000 users: <r> times from 100 to
#   1,000 users, <r2> times from 1,000 to 10,000 (linear|not linear)
# and last the collection's memory:
#   collect: peak <p> MB for 10 messages of <s> MB (<r> times one message)
set -euo pipefail

build=${1:?usage: bench/run.sh <builddir>}
here=$(cd "$(dirname "$0")" && pwd)
python=/usr/bin/python3   # Debian's own interpreter, which sees python3-openpyxl

# ---- encrypted workbooks: what a file-open password costs per open and per save ---------------
cmake --build "$build" --target encryption_bench >/dev/null
"$build/bench/encryption_bench" --benchmark_format=console 2>/dev/null \
  | awk '/^BM_/ { printf "encryption: %-22s %8.1f ms\n", $1, $2 }'

# ---- workbook layer against openpyxl -------------------------------------------------------
work=$(mktemp -d "${TMPDIR:-/tmp}/workbook-bench-XXXXXX")
trap 'rm -rf "$work"' EXIT
if ! cmake --build "$build" --target workbook_bench >"$work/build.log" 2>&1; then
  cat "$work/build.log" >&2
  exit 1
fi
echo "workbook: making a workbook of 20 sheets x 50,004 cells ..."
"$python" "$here/make_workbook.py" "$work/input.xlsx"

# The value of one name=value field (a whole name: "seconds" is not "read_seconds").
field() { sed -n "s/^\(.* \)\{0,1\}$1=\([0-9.]*\).*/\2/p" <<<"$2"; }

ours=$("$build/bench/workbook_bench" "$work/input.xlsx" "$work/ours.xlsx")
echo "workbook layer: $ours"
theirs=$("$python" "$here/workbook_openpyxl.py" "$work/input.xlsx" "$work/openpyxl.xlsx")
echo "openpyxl:       $theirs"

awk -v read="$(field read_seconds "$ours")" -v recalc="$(field recalc_seconds "$ours")" \
    'BEGIN { printf "workbook: recalculation after the 10,000 writes %.3f s, reading the workbook %.3f s (%s)\n",
             recalc, read, recalc < read ? "recalculating adds less than the read" : "recalculating adds more than the read" }'
awk -v ot="$(field seconds "$ours")" -v om="$(field peak_kb "$ours")" \
    -v pt="$(field seconds "$theirs")" -v pm="$(field peak_kb "$theirs")" \
    'BEGIN { printf "workbook: %.1f times faster than openpyxl, %.2f times its peak memory\n", pt / ot, om / pm }'

# ---- the fixed cost of a small workbook: open, write one cell, save, again and again -------------
cmake --build "$build" --target small_workbook_bench >"$work/build.log" 2>&1 || { cat "$work/build.log" >&2; exit 1; }
"$python" "$here/make_workbook.py" "$work/small.xlsx" 10 84
ours=$("$build/bench/small_workbook_bench" "$work/small.xlsx" "$work/small-ours.xlsx" 200)
theirs=$("$python" "$here/small_workbook_openpyxl.py" "$work/small.xlsx" "$work/small-openpyxl.xlsx" 20)
awk -v o="$(field ms "$ours")" -v t="$(field ms "$theirs")" \
    'BEGIN { printf "small workbook: %.2f ms to open, write one cell and save a 10-sheet workbook of 1,000 cells a sheet, %.1f times faster than openpyxl (%.1f ms)\n", o, t / o, t }'

# ---- formula engine against LibreOffice ----------------------------------------------------------
cmake --build "$build" --target formulas_bench >"$work/build.log" 2>&1 || { cat "$work/build.log" >&2; exit 1; }
echo "formulas: making a workbook of 10,000 lookup and conditional formulas over 10,000 rows ..."
"$python" "$here/make_formulas_workbook.py" "$work/formulas.xlsx"
ours=$("$build/bench/formulas_bench" "$work/formulas.xlsx" "$work/formulas-ours.xlsx")
echo "formula engine: $ours"
theirs=$("$python" "$here/formulas_libreoffice.py" "$work/formulas.xlsx" "$work/formulas-lo.xlsx")
echo "LibreOffice:    $theirs"
awk -v o="$(field seconds "$ours")" -v t="$(field seconds "$theirs")" \
    'BEGIN { printf "formulas: %.1f times faster than LibreOffice recalculating the same workbook\n", t / o }'
# Columns of formulas that reach the row before or after through INDIRECT and OFFSET: the
# recalculation after a write to their first cell, for 10,000 and for 100,000 rows.
chains_small=$("$build/bench/formulas_bench" --chains 10000)
chains_large=$("$build/bench/formulas_bench" --chains 100000)
echo "chained columns: $chains_small; $chains_large"
awk -v s="$(field seconds "$chains_small")" -v l="$(field seconds "$chains_large")" \
    'BEGIN { printf "chains: %.3f s for 10,000 rows of INDIRECT and OFFSET columns, %.3f s for 100,000 rows (%.1f times for 10 times the rows)\n", s, l, l / s }'

# ---- update run against openpyxl and against the layer's own read-and-save --------------------
cmake --build "$build" --target update_run_bench >"$work/build.log" 2>&1 || { cat "$work/build.log" >&2; exit 1; }
update_run() { # <folder> <masters> <files text>: the run of 10 user files a master, beside openpyxl
  echo "update run: making $2 master workbooks of 10 sheets x 1,000 cells ..."
  "$python" "$here/make_update_masters.py" "$1/masters" "$2"
  local run theirs
  run=$("$build/bench/update_run_bench" "$1" "$2")
  echo "update run:     $run"
  theirs=$("$python" "$here/update_openpyxl.py" "$1/openpyxl")
  echo "openpyxl:       $theirs"
  awk -v t="$(field seconds "$run")" -v l="$(field layer_seconds "$run")" -v p="$(field seconds "$theirs")" \
      -v files="$3" -v masters="$2" \
      'BEGIN { printf "update run: %.3f s for %s user files into %d masters, %.1f times faster than openpyxl, %.2f times the layer'"'"'s own read-and-save\n", t, files, masters, p / t, t / l }'
}
update_run "$work/update" 10 100
update_run "$work/update1000" 100 1,000

# ---- the sheet view of the spreadsheet program against LibreOffice loading the workbook ----------
# The workbook of the layer's comparison above (20 sheets x 50,004 cells), shown offscreen.
cmake --build "$build" --target sheet_view_bench >"$work/build.log" 2>&1 || { cat "$work/build.log" >&2; exit 1; }
view=$(QT_QPA_PLATFORM=offscreen "$build/bench/sheet_view_bench" "$work/input.xlsx" 2>/dev/null)
echo "sheet view:     $view"
layer=$("$build/bench/sheet_view_bench" --layer "$work/input.xlsx")
echo "layer alone:    $layer"
theirs=$("$python" "$here/formulas_libreoffice.py" "$work/input.xlsx")
echo "LibreOffice:    $theirs"
awk -v t="$(field seconds "$view")" -v p="$(field page_ms "$view")" -v vm="$(field peak_kb "$view")" \
    -v lm="$(field peak_kb "$layer")" -v lo="$(field seconds "$theirs")" \
    'BEGIN { printf "sheet view: %.2f s from start to the first painted sheet of a 1,000,000-cell workbook, %.1f times faster than LibreOffice loading it headless, scrolling %.1f ms a page (peak memory %.2f times the layer'"'"'s own)\n", t, lo / t, p, vm / lm }'

# ---- the whole cycle for 100, 1,000 and 10,000 users, mail through the test mail servers on 127.0.0.1
cmake --build "$build" --target cycle_bench >"$work/build.log" 2>&1 || { cat "$work/build.log" >&2; exit 1; }
cycle() { # <folder> <masters>: the steps' seconds of one cycle of 10 users a master
  "$python" "$here/make_update_masters.py" "$1/masters" "$2"
  LUMIVANE_SOURCE_DIR="$(dirname "$here")" "$build/bench/cycle_bench" "$1" "$2" 2>"$1.log" \
    || { cat "$1.log" >&2; exit 1; }
}
small=$(cycle "$work/cycle" 10)
echo "cycle steps, 100 users:   $small"
large=$(cycle "$work/cycle1000" 100)
echo "cycle steps, 1,000 users: $large"
largest=$(cycle "$work/cycle10000" 1000)
echo "cycle steps, 10,000 users: $largest"
awk -v t="$(field seconds "$small")" -v t2="$(field seconds "$large")" -v t3="$(field seconds "$largest")" \
    'BEGIN { printf "cycle: %.1f s for 100 users, %.1f s for 1,000 users, %.1f s for 10,000 users (%.1f and %.1f times for 10 times the users)\n", t, t2, t3, t2 / t, t3 / t2 }'
for name in configure cut send users collect update; do
  awk -v name="$name" -v a="$(field "$name" "$small")" -v b="$(field "$name" "$large")" -v c="$(field "$name" "$largest")" \
      'BEGIN { r = a > 0 ? b / a : 0; r2 = b > 0 ? c / b : 0
               printf "cycle step %s: %.3f s, %.3f s, %.3f s for 100, 1,000, 10,000 users: %.1f times from 100 to 1,000 users, %.1f times from 1,000 to 10,000 (%s)\n",
                      name, a, b, c, r, r2, r <= 11 && r2 <= 11 ? "linear" : "not linear" }'
done

# ---- collecting 10 returned files of about 30 MB of mail each: the peak memory ----------------
cmake --build "$build" --target collect_bench >"$work/build.log" 2>&1 || { cat "$work/build.log" >&2; exit 1; }
mkdir -p "$work/collect"
"$python" "$here/make_big_reply.py" "$work/collect/big.xlsx"
collected=$(LUMIVANE_SOURCE_DIR="$(dirname "$here")" "$build/bench/collect_bench" "$work/collect" 2>"$work/collect.log") \
  || { cat "$work/collect.log" >&2; exit 1; }
echo "collection:     $collected"
awk -v p="$(field peak_mb "$collected")" -v s="$(field message_mb "$collected")" \
    'BEGIN { printf "collect: peak %.0f MB for 10 messages of %.0f MB (%.1f times one message)\n", p, s, p / s }'
