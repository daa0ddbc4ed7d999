#!/usr/bin/env bash
# Installs the Debian packages the project builds, tests and runs its demo with.
# Only missing packages are installed; runs as root or through sudo.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang make pkg-config
  qt6-base-dev qt6-base-dev-tools libgl1-mesa-dev
  libcpp-httplib-dev libssl-dev zlib1g-dev libbrotli-dev
  libbenchmark-dev libclang-rt-14-dev
  openssl fonts-dejavu-core fonts-dejavu-extra
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: all ${#packages[@]} packages are present"
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

echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
echo "install-deps: done"
