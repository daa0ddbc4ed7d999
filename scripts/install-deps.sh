#!/usr/bin/env bash
# Installs the Debian packages the project builds, tests and runs its demo with.
# Only missing packages are installed (installed ones are never upgraded); runs as
# root or through sudo. apt's output goes to a log file, one line per step here.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang make pkg-config
  # cpack's Debian packages: dpkg-shlibdeps finds the runtime package's dependencies
  dpkg-dev
  qt6-base-dev qt6-base-dev-tools libgl1-mesa-dev
  # run-time form loading (Qt UiTools): headers to build, the library to run
  qt6-tools-dev libqt6uitools6
  libcpp-httplib-dev libssl-dev zlib1g-dev libbrotli-dev
  libbenchmark-dev libclang-rt-14-dev
  openssl fonts-dejavu-core fonts-dejavu-extra
  # a real X server for the launcher and playback tests (xvfb-run)
  xvfb xauth
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: all ${#packages[@]} packages are present, nothing installed"
  exit 0
fi

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null 2>&1; then
    sudo_cmd=(sudo)
  else
    echo "install-deps: not root and no sudo; please install: ${missing[*]}" >&2
    exit 1
  fi
fi

log=${WEXO_DEPS_LOG:-${TMPDIR:-/tmp}/wexo-install-deps.log}
: >"$log"
step() {
  local what=$1
  shift
  echo "install-deps: $what"
  if ! "$@" >>"$log" 2>&1; then
    echo "install-deps: failed while '$what'; the last lines of $log:" >&2
    tail -n 20 "$log" >&2
    exit 1
  fi
}

export DEBIAN_FRONTEND=noninteractive
step "updating the package lists" "${sudo_cmd[@]}" apt-get update
step "installing ${#missing[@]} missing packages: ${missing[*]}" \
  "${sudo_cmd[@]}" apt-get install -y --no-install-recommends --no-upgrade "${missing[@]}"
echo "install-deps: installed ${missing[*]} (log: $log)"
