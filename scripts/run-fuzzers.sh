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
  find "$seeds" -type f -size -256k \( -name '*.xlsx' -o -name '*.xlsm' -o -name '*.xls' -o -name '*.bin' \) \
    -exec cp -n {} "$corpus/" \;
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
