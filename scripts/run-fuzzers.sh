#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build (make fuzz builds them) for a while, each with its own
# corpus seeded from the test fixtures. Findings (crash-*, leak-*, oom-*, timeout-*) are kept in
# <builddir>/fuzz-findings/<target>; the script fails when there is any.
#   scripts/run-fuzzers.sh <builddir>        FUZZ_SECONDS=<n> sets the time per target (default 120)
set -euo pipefail

build=${1:?usage: run-fuzzers.sh <builddir>}
seconds=${FUZZ_SECONDS:-120}
here=$(cd "$(dirname "$0")/.." && pwd)
seeds="$here/tests/fixtures"

mapfile -t targets < <(find "$build" -type f -perm -u+x -name 'fuzz_*' | sort)
if [ ${#targets[@]} -eq 0 ]; then
  echo "no fuzz targets in $build (build them with: make fuzz)" >&2
  exit 1
fi

failed=0
for target in "${targets[@]}"; do
  name=$(basename "$target")
  corpus="$build/fuzz-corpus/$name"
  findings="$build/fuzz-findings/$name"
  mkdir -p "$corpus" "$findings"
  # Seed with the fixture files (small ones only: the fuzzer mutates better from small inputs).
  # A target named fuzz_part_* takes one XML part behind a byte that picks the part: it is
  # seeded with the parts inside the fixture workbooks.
  if [[ $name == fuzz_part_* ]]; then
    /usr/bin/python3 - "$seeds" "$corpus" <<'PY'
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
  else
    find "$seeds" -type f -size -256k \( -name '*.xlsx' -o -name '*.xlsm' -o -name '*.xls' -o -name '*.bin' \) \
      -exec cp -n {} "$corpus/" \;
  fi
  echo "== $name for ${seconds}s"
  if ! "$target" "$corpus" -max_total_time="$seconds" -rss_limit_mb=4096 -timeout=30 \
       -artifact_prefix="$findings/" -print_final_stats=1 </dev/null; then
    failed=1
  fi
  if compgen -G "$findings/*" >/dev/null; then
    echo "findings of $name:" && ls "$findings"
    failed=1
  fi
done
exit $failed
