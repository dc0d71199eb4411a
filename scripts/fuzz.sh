#!/usr/bin/env bash
# Builds the fuzz targets (preset "fuzz", clang) and runs each one for SECONDS
# (default 10) from a copy of its seed corpus in tests/fuzz/corpus/, so the repository
# is never written. A crash, a sanitizer report, an input slower than 2 s or one that
# needs more than 2 GB fails the script; the input is kept in build/fuzz/findings/.
# Usage: scripts/fuzz.sh [SECONDS [TARGET...]]   (TARGET: reply, page, ...)
# With FUZZ_RUNS=N in the environment each target runs N inputs instead of SECONDS;
# with FUZZ_JOBS=N, N targets run at a time.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-10}
shift || true
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

if [ "$#" -eq 0 ]; then
  set -- $(ls tests/fuzz/corpus)
fi
findings=$PWD/build/fuzz/findings
mkdir -p "$findings"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}

limit="-max_total_time=$seconds"
if [ -n "${FUZZ_RUNS:-}" ]; then
  limit="-runs=$FUZZ_RUNS"
fi

# One target: its corpus copy, its run, its verdict in $work/$target.verdict.
fuzz_one() {
  local target=$1
  cp -r "tests/fuzz/corpus/$target" "$work/$target"
  if TMPDIR=$work build/fuzz/bin/fuzz_"$target" "$work/$target" $limit -timeout=2 \
      -rss_limit_mb=2048 -dict=tests/fuzz/fuzz.dict -print_final_stats=1 -artifact_prefix="$findings/$target-" \
      >"$work/$target.log" 2>&1; then
    echo "fuzz_$target: $(grep -m1 'stat::number_of_executed_units' "$work/$target.log" | awk '{print $2}') inputs, no finding"
  else
    {
      echo "fuzz_$target: FAILED"
      grep -E "ERROR|SUMMARY|Test unit written|runtime error" "$work/$target.log" || tail -n 30 "$work/$target.log"
    } >&2
    touch "$work/$target.failed"
  fi
}

# FUZZ_JOBS targets run at a time (one when not given).
jobs=${FUZZ_JOBS:-1}
for target in "$@"; do
  while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do
    wait -n || true
  done
  fuzz_one "$target" &
done
wait
status=0
if ls "$work"/*.failed >/dev/null 2>&1; then
  status=1
fi
exit "$status"
