#!/usr/bin/env bash
# Runs the launcher, playback and presentation tests on a real X server (Xvfb, the xcb platform),
# where dialogs are windows of their own and focus and keys route as on a desktop, and the
# in-app page draws through OpenGL; its faces again with Qt Quick's software renderer.
#   scripts/run-xvfb-tests.sh [build-dir]
set -euo pipefail
build=${1:-build}
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
if [ -z "${WEXO_UNDER_XVFB:-}" ]; then
  WEXO_UNDER_XVFB=1 exec xvfb-run -a "$0" "$@"
fi
passed=0
failed=0
# run <name> [VAR=value...]: one test program on the X server, with the environment given.
run() {
  local name=$1
  shift
  local log
  log=$(mktemp)
  # The in-app page's engine would refuse to start as root with its sandbox on.
  if env QT_QPA_PLATFORM=xcb QT_LOGGING_RULES='qt.qpa.*=false' QTWEBENGINE_DISABLE_SANDBOX=1 "$@" \
    timeout 300 "$build/tests/$name" >"$log" 2>&1; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "xvfb: $name $* failed" >&2
    grep -E "FAIL|Loc:|Actual|Expected" "$log" | head -20 >&2 || tail -20 "$log" >&2
  fi
  rm -f "$log"
}
for source in tests/manager/tst_*.cpp tests/playback/tst_*.cpp tests/platform/tst_wviewcontroller.cpp; do
  run "$(basename "$source" .cpp)"
done
# The in-app page's faces again with Qt Quick's software renderer on X (no GPU,
# virtual machines, remote desktops); offscreen the tests draw that way too.
run tst_inappfaces QT_QUICK_BACKEND=software
echo "xvfb: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
