#!/usr/bin/env bash
# Installs the built library into a temporary prefix, then builds the README's example
# as an outside project with find_package and runs it offscreen.
set -euo pipefail
build=${1:-build}
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix="$work/prefix"

cmake --install "$build" --prefix "$prefix" >"$work/install.log"
echo "check-install: public headers: $(cd "$prefix/include" && find . -name '*.h' | sort | tr '\n' ' ')"

cmake -S "$root/examples/outside-project" -B "$work/app" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" >"$work/configure.log" \
  || { cat "$work/configure.log" >&2; exit 1; }
cmake --build "$work/app" >"$work/build.log" || { cat "$work/build.log" >&2; exit 1; }

# The example starts the library against a closed loopback port and quits by itself.
QT_QPA_PLATFORM=offscreen WEXO_PRODUCTION_URL=http://127.0.0.1:9/ XDG_CONFIG_HOME="$work/config" \
  XDG_DATA_HOME="$work/data" timeout 60 "$work/app/app"
echo "check-install: the README's example builds against $prefix and runs"
