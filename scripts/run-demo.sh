#!/usr/bin/env bash
# Starts the sample backend on a free loopback port and runs the sample host against it.
# Without a display the host runs offscreen and saves screenshots into demo-out/screens/.
# The library's own files (credentials, cached fonts, user defaults) go to demo-out/state/.
set -euo pipefail
build=${1:-build}
root=$(cd "$(dirname "$0")/.." && pwd)
backend="$build/tools/sample-backend/wexo-sample-backend"
host="$build/examples/sample-host/wexo-sample-host"
data="$root/examples/sample-host/data"
out="$root/demo-out"
screens="$out/screens"
state="$out/state"

for program in "$backend" "$host"; do
  [ -x "$program" ] || { echo "run-demo: $program was not built" >&2; exit 1; }
done

source "$root/scripts/sample-backend.sh"
start_sample_backend "$backend" --data "$data" --store "$work/store.json"
echo "run-demo: sample backend at $url"

# The demo keeps its own profile so it never touches a real one.
mkdir -p "$state"
export XDG_CONFIG_HOME="$state/config"
export XDG_DATA_HOME="$state/data"
export XDG_CACHE_HOME="$state/cache"
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 -p "$XDG_RUNTIME_DIR"
# The in-app page's engine refuses to start as root with its sandbox on; the demo
# switches it off for itself (the library never does that for a host).
export QTWEBENGINE_DISABLE_SANDBOX=1

host_args=(--backend "$url")
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "run-demo: no display, running offscreen"
  rm -rf "$screens"
  mkdir -p "$screens"
  host_args+=(--offscreen --screenshot "$screens")
fi
status=0
"$host" "${host_args[@]}" >"$work/host.out" 2>"$work/host.err" || status=$?

# The host prints "key: value" lines; the summary picks the ones a person wants to read.
value() { sed -n "s/^$1: //p" "$work/host.out" | head -n 1; }
shots=$(sed -n 's/^screenshot: //p' "$work/host.out")
echo
echo "Demo summary"
echo "  backend:       $url (data: ${data#"$root"/})"
echo "  walkthroughs:  $(value 'walkthroughs downloaded' || true) downloaded"
echo "  theme:         $(value 'theme applied' || true)"
echo "  library files: ${state#"$root"/}/"
if [ -n "$shots" ]; then
  echo "  screenshots:   $(wc -l <<<"$shots") in ${screens#"$root"/}/"
  while IFS= read -r shot; do echo "    ${shot#"$root"/}"; done <<<"$shots"
fi
if [ "$status" -ne 0 ]; then
  echo "run-demo: the sample host failed (exit $status):" >&2
  tail -n 20 "$work/host.err" >&2
  exit "$status"
fi
