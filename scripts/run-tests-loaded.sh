#!/usr/bin/env bash
# Runs the whole test suite on a busy machine: every core kept busy by a
# spinning process, and the suite run with twice as many jobs as there are
# cores, several rounds in a row. Stops at the first round that fails.
#   scripts/run-tests-loaded.sh [build-dir] [rounds]
# Builds nothing: run `make test` (or `make build`) first.
set -euo pipefail
build=${1:-build}
rounds=${2:-5}
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
if [ ! -f "$build/CTestTestfile.cmake" ]; then
  echo "run-tests-loaded: no test build in $build (run make build first)" >&2
  exit 2
fi
cores=$(nproc)
jobs=$((2 * cores))
spinners=()
stop_spinners() {
  for pid in "${spinners[@]}"; do
    kill "$pid" 2>/dev/null || true
  done
}
trap stop_spinners EXIT
for _ in $(seq "$cores"); do
  bash -c 'while :; do :; done' &
  spinners+=("$!")
done
# The in-app page's engine would refuse to start as root with its sandbox on.
export QTWEBENGINE_DISABLE_SANDBOX=1
echo "run-tests-loaded: $rounds rounds, $jobs jobs, $cores cores kept busy"
for round in $(seq "$rounds"); do
  log="$build/loaded-round-$round.log"
  start=$(date +%s)
  if ctest --test-dir "$build" -j "$jobs" --output-on-failure >"$log" 2>&1; then
    echo "round $round: passed in $(($(date +%s) - start)) s ($(grep -Eo '[0-9]+ tests passed, 0 tests failed out of [0-9]+|100% tests passed.*' "$log" | head -1))"
  else
    echo "round $round: FAILED in $(($(date +%s) - start)) s; log: $log" >&2
    grep -E "^[0-9]+% tests passed|\*\*\*Failed|Failed  |FAIL!|Loc:" "$log" | head -30 >&2
    exit 1
  fi
done
echo "run-tests-loaded: $rounds of $rounds rounds passed"
