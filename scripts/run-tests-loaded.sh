#!/usr/bin/env bash
# Runs the whole test suite on a busy machine: every core kept busy by a
# spinning process, and the suite run with twice as many jobs as there are
# cores, several rounds in a row. Stops at the first round that fails.
# A round passes only when every test the build registers ran and passed at
# least one test function of its own: a test ctest did not run (not found,
# skipped, disabled) or a QtTest program that skipped every test function
# (as when initTestCase skips) fails it. Single skipped rows are fine.
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
build=$(cd "$build" && pwd)
defined=$(ctest --test-dir "$build" -N | sed -n 's/^Total Tests: //p')

# The tests of a round's JUnit file that did not run or passed no test
# function, one line each, named. ctest keeps each test's output there: a
# PASS line for each test function (and row) that passed, and at its tail
# the Totals line. QtTest counts initTestCase and cleanupTestCase as passed
# functions, so they count for nothing here (a program whose initTestCase
# skips passes those two alone).
not_run() {
  awk '
    /<testcase name="/ {
      name = $0; sub(/.*<testcase name="/, "", name); sub(/".*/, "", name)
      status = $0; sub(/.*status="/, "", status); sub(/".*/, "", status)
      reason = ""; totals = ""; passed = 0
    }
    /<skipped message="/ { reason = $0; sub(/.*<skipped message="/, "", reason); sub(/".*/, "", reason) }
    /PASS   : [^ ]+::[A-Za-z0-9_]+\(/ {
      function_name = $0; sub(/.*PASS   : [^ ]+::/, "", function_name); sub(/\(.*/, "", function_name)
      if (function_name != "initTestCase" && function_name != "cleanupTestCase")
        passed++
    }
    /Totals: [0-9]+ passed/ { totals = $0; sub(/.*Totals: /, "Totals: ", totals) }
    /<\/testcase>/ {
      if (status == "notrun" || status == "disabled")
        print name ": did not run (" (reason != "" ? reason : status) ")"
      else if (status == "run" && (totals == "" || passed == 0))
        print name ": passed no test function (" (totals != "" ? totals : "no Totals line") ")"
    }
  ' "$1"
}

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
echo "run-tests-loaded: $rounds rounds, $jobs jobs, $cores cores kept busy, $defined tests"
for round in $(seq "$rounds"); do
  log="$build/loaded-round-$round.log"
  junit="$build/loaded-round-$round.xml"
  start=$(date +%s)
  passed=true
  # Empty unless ctest writes it: a round whose ctest never got that far ran nothing.
  : >"$junit"
  ctest --test-dir "$build" -j "$jobs" --output-on-failure --output-junit "$junit" \
    --test-output-size-passed 1000000 --test-output-truncation head >"$log" 2>&1 || passed=false
  missing=$(not_run "$junit")
  ran=$(grep -cE 'status="(run|fail)"' "$junit" || true)
  if [ -n "$missing" ] || [ "$ran" -ne "$defined" ]; then
    passed=false
  fi
  if $passed; then
    echo "round $round: passed in $(($(date +%s) - start)) s ($(grep -Eo '[0-9]+ tests passed, 0 tests failed out of [0-9]+|100% tests passed.*' "$log" | head -1))"
  else
    echo "round $round: FAILED in $(($(date +%s) - start)) s; log: $log, $junit" >&2
    if [ "$ran" -ne "$defined" ]; then
      echo "$ran of $defined tests ran" >&2
    fi
    if [ -n "$missing" ]; then
      echo "$missing" >&2
    fi
    grep -E "^[0-9]+% tests passed|\*\*\*Failed|Failed  |FAIL!|Loc:" "$log" | head -30 >&2 || true
    exit 1
  fi
done
echo "run-tests-loaded: $rounds of $rounds rounds passed"
