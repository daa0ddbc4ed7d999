# Sourced by the scripts that run the sample backend program: makes $work, a temporary
# folder that goes on exit together with the backend, and start_sample_backend.
work=$(mktemp -d)
backend_pid=""
cleanup() {
  if [ -n "$backend_pid" ]; then
    kill "$backend_pid" 2>/dev/null || true
    wait "$backend_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

# start_sample_backend PROGRAM ARGUMENTS...: starts it on a free port and sets $url to its root.
start_sample_backend() {
  local me
  me=$(basename "$0" .sh)
  "$@" --port 0 >"$work/backend.log" 2>&1 &
  backend_pid=$!
  url=""
  for _ in $(seq 1 100); do
    url=$(sed -n 's/^listening on \(http[^ ]*\).*/\1/p' "$work/backend.log" | head -n 1)
    [ -n "$url" ] && return 0
    kill -0 "$backend_pid" 2>/dev/null || { cat "$work/backend.log" >&2; echo "$me: the sample backend stopped" >&2; exit 1; }
    sleep 0.1
  done
  cat "$work/backend.log" >&2
  echo "$me: the sample backend did not start" >&2
  exit 1
}
