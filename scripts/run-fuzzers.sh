#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build (make fuzz builds them) for a while, each with its own
# corpus and its dictionary. A target fuzz_<name> lives in a folder <...>/fuzz of the sources that
# holds its dictionary (*.dict), its seeds (corpus/<name>), the reproducers of its findings
# (reproducers/<name>) and, when it needs any, flags of its own for libFuzzer (<name>.options, one
# a line); the corpus of a run starts from the seeds, the reproducers and, for the workbook
# targets, the test fixtures. A finding (crash-*, leak-*, oom-*, timeout-*) is kept in
# <builddir>/fuzz-findings/<target> and copied into the target's reproducers folder, which the
# replay tests of every build run (commit it with its fix); the script then fails.
#   scripts/run-fuzzers.sh <builddir>        FUZZ_SECONDS=<n> sets the time per target (default 600)
# At the end one line per target: "<target>: <executions> executions in <seconds> s".
set -euo pipefail

build=${1:?usage: run-fuzzers.sh <builddir>}
seconds=${FUZZ_SECONDS:-600}
here=$(cd "$(dirname "$0")/.." && pwd)
fixtures="$here/tests/fixtures"

mapfile -t targets < <(find "$build" -type f -perm -u+x -name 'fuzz_*' | sort)
if [ ${#targets[@]} -eq 0 ]; then
  echo "no fuzz targets in $build (build them with: make fuzz)" >&2
  exit 1
fi

failed=0
summary=()
for target in "${targets[@]}"; do
  name=$(basename "$target")
  short=${name#fuzz_}
  reproducers=$(find "$here" -path "$here/build*" -prune -o -type d -path "*/fuzz/reproducers/$short" -print | head -n 1)
  if [ -z "$reproducers" ]; then
    echo "no folder fuzz/reproducers/$short for $name in the sources" >&2
    failed=1
    continue
  fi
  fuzzdir=$(dirname "$(dirname "$reproducers")")
  corpus="$build/fuzz-corpus/$name"
  findings="$build/fuzz-findings/$name"
  rm -rf "$findings"
  mkdir -p "$corpus" "$findings"
  cp -n "$fuzzdir/corpus/$short"/* "$reproducers"/* "$corpus/" 2>/dev/null || true
  # The workbook targets also start from the fixture workbooks (small ones only: the fuzzer
  # mutates better from small inputs). fuzz_part_xml takes one XML part behind a byte that picks
  # the part: it is seeded with the parts inside the fixture workbooks.
  if [[ $name == fuzz_part_xml ]]; then
    /usr/bin/python3 - "$fixtures" "$corpus" <<'PY'
import glob, hashlib, os, sys, zipfile
kinds = {"worksheets/": 0, "sharedStrings": 1, "workbook.xml": 2, "styles.xml": 3}
for path in glob.glob(os.path.join(sys.argv[1], "**", "*.xls[xm]"), recursive=True):
    try:
        z = zipfile.ZipFile(path)
    except zipfile.BadZipFile:
        continue
    for part in z.namelist():
        for key, selector in kinds.items():
            if key in part and part.endswith(".xml"):
                data = bytes([selector]) + z.read(part)
                name = hashlib.sha1(data).hexdigest()
                open(os.path.join(sys.argv[2], name), "wb").write(data)
PY
  elif [[ $name == fuzz_macro_project ]]; then
    # The macro project parts inside the fixture workbooks.
    /usr/bin/python3 - "$fixtures" "$corpus" <<'PY'
import glob, hashlib, os, sys, zipfile
for path in glob.glob(os.path.join(sys.argv[1], "**", "*.xlsm"), recursive=True):
    try:
        data = zipfile.ZipFile(path).read("xl/vbaProject.bin")
    except (zipfile.BadZipFile, KeyError):
        continue
    open(os.path.join(sys.argv[2], hashlib.sha1(data).hexdigest()), "wb").write(data)
PY
  elif [[ $name == fuzz_workbook_open ]]; then
    find "$fixtures" -type f -size -256k \( -name '*.xlsx' -o -name '*.xlsm' -o -name '*.xls' -o -name '*.bin' \) \
      -exec cp -n {} "$corpus/" \;
  fi
  # A target's own dictionary (<name>.dict) when it has one, else its folder's.
  dict=()
  for d in "$fuzzdir"/*.dict; do [ -f "$d" ] && [ "$(basename "$d")" != "$short.dict" ] && dict=(-dict="$d"); done
  [ -f "$fuzzdir/$short.dict" ] && dict=(-dict="$fuzzdir/$short.dict")
  own=()
  [ -f "$fuzzdir/$short.options" ] && mapfile -t own < <(grep -v '^#' "$fuzzdir/$short.options" | grep .)
  echo "== $name for ${seconds}s"
  log="$build/fuzz-findings/$name.log"
  if ! "$target" "$corpus" "${dict[@]}" "${own[@]}" -max_total_time="$seconds" -rss_limit_mb=4096 -timeout=30 \
       -artifact_prefix="$findings/" -print_final_stats=1 </dev/null 2>&1 | tee "$log"; then
    failed=1
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  stopped=""
  compgen -G "$findings/*" >/dev/null && stopped=" (stopped by a finding)"
  summary+=("$name: ${runs:-0} executions in ${seconds} s$stopped")
  for finding in "$findings"/*; do
    [ -f "$finding" ] || continue
    cp "$finding" "$reproducers/"
    echo "finding of $name kept as reproducer $reproducers/$(basename "$finding")"
    failed=1
  done
done
printf '%s\n' "${summary[@]}"
exit $failed
