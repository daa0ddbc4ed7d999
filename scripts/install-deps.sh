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
  # the in-app page (WEXO_WEB_VIEW)
  qt6-webengine-dev
  # the support mail's can-send test asks xdg-mime for the mailto program
  xdg-utils
  libcpp-httplib-dev libssl-dev zlib1g-dev libbrotli-dev
  libbenchmark-dev libclang-rt-14-dev
  openssl fonts-dejavu-core fonts-dejavu-extra
  # a real X server for the launcher and playback tests (xvfb-run), and real key
  # presses there that the server holds and repeats as a keyboard's (XTEST)
  xvfb xauth xdotool
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

# The reader view's library, from the npm registry: a pinned version whose tarball must
# match the pinned integrity hash. Unpacked into .deps/ (never committed) and embedded
# into the library at build time; without npm the in-app page has no reader view.
reader_version=0.6.0
reader_integrity='sha512-juG5VWh4qAivzTAeMzvY9xs9HY5rAcr2E4I7tiSSCokRFi7XIZCAu92ZkSTsIj1OPceCifL3cpfteP3pDT9/QQ=='
install_reader() {
  local root dest tmp tarball actual
  root=$(cd "$(dirname "$0")/.." && pwd)
  dest="$root/.deps/readability"
  if [ "$(cat "$dest/VERSION" 2>/dev/null)" = "$reader_version" ]; then
    echo "install-deps: reader library $reader_version is present"
    return 0
  fi
  if ! command -v npm >/dev/null 2>&1; then
    echo "install-deps: no npm; the in-app page is built without reader view"
    return 0
  fi
  tmp=$(mktemp -d)
  if ! (cd "$tmp" && npm pack --silent "@mozilla/readability@$reader_version" >pack.out 2>pack.err); then
    echo "install-deps: npm could not fetch @mozilla/readability@$reader_version; no reader view:" >&2
    tail -n 5 "$tmp/pack.err" >&2
    rm -rf "$tmp"
    return 0
  fi
  tarball="$tmp/$(tail -n 1 "$tmp/pack.out")"
  actual="sha512-$(openssl dgst -sha512 -binary "$tarball" | base64 -w 0)"
  if [ "$actual" != "$reader_integrity" ]; then
    echo "install-deps: @mozilla/readability@$reader_version does not match its pinned hash; not installed" >&2
    rm -rf "$tmp"
    exit 1
  fi
  tar -xzf "$tarball" -C "$tmp"
  rm -rf "$dest"
  mkdir -p "$dest"
  cp "$tmp/package/Readability.js" "$tmp/package/Readability-readerable.js" "$tmp/package/LICENSE.md" "$dest/"
  echo "$reader_version" >"$dest/VERSION"
  rm -rf "$tmp"
  echo "install-deps: reader library @mozilla/readability@$reader_version installed into .deps/readability"
}

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: all ${#packages[@]} packages are present, nothing installed"
  install_reader
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
install_reader
