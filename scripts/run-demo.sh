#!/usr/bin/env bash
# Starts the sample backend on a free loopback port and runs the sample host against it.
# Without a display the host runs offscreen and saves screenshots into demo-out/.
set -euo pipefail
build=${1:-build}
root=$(cd "$(dirname "$0")/.." && pwd)
backend="$build/tools/sample-backend/wexo-sample-backend"
host="$build/examples/sample-host/wexo-sample-host"
data="$root/examples/sample-host/data"

for program in "$backend" "$host"; do
  [ -x "$program" ] || { echo "run-demo: $program was not built" >&2; exit 1; }
done

log=$(mktemp)
store=$(mktemp -d)
"$backend" --data "$data" --port 0 --store "$store/store.json" >"$log" 2>&1 &
backend_pid=$!
cleanup() { kill "$backend_pid" 2>/dev/null || true; wait "$backend_pid" 2>/dev/null || true; rm -rf "$log" "$store"; }
trap cleanup EXIT

url=""
for _ in $(seq 1 100); do
  url=$(sed -n 's/^listening on \(http[^ ]*\).*/\1/p' "$log" | head -n 1)
  [ -n "$url" ] && break
  kill -0 "$backend_pid" 2>/dev/null || { cat "$log" >&2; echo "run-demo: the sample backend stopped" >&2; exit 1; }
  sleep 0.1
done
[ -n "$url" ] || { cat "$log" >&2; echo "run-demo: the sample backend did not start" >&2; exit 1; }
echo "run-demo: sample backend at $url"

# The demo keeps its own profile so it never touches a real one.
export XDG_CONFIG_HOME="$root/demo-out/profile/config"
export XDG_DATA_HOME="$root/demo-out/profile/data"
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  out="$root/demo-out"
  mkdir -p "$out"
  echo "run-demo: no display, running offscreen; screenshots:"
  "$host" --backend "$url" --offscreen --screenshot "$out"
else
  "$host" --backend "$url"
fi
