#!/usr/bin/env bash
# Runs every fuzz target for the given number of seconds each, from its committed seed corpus.
set -euo pipefail
build=${1:-build-fuzz}
seconds=${2:-30}
shopt -s nullglob
targets=("$build"/fuzz/fuzz_*)
if [ ${#targets[@]} -eq 0 ]; then
  echo "run-fuzz: no fuzz targets built"
  exit 0
fi
for t in "${targets[@]}"; do
  [ -f "$t" ] && [ -x "$t" ] || continue
  name=$(basename "$t")
  work="$build/corpus-work/$name"
  mkdir -p "$work"
  seeds="fuzz/corpus/$name"
  echo "== $name for ${seconds}s"
  ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions=$(pwd)/scripts/lsan.supp \
    QT_QPA_PLATFORM=offscreen \
    "$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 "$work" $( [ -d "$seeds" ] && echo "$seeds" )
done
