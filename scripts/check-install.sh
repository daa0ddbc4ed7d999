#!/usr/bin/env bash
# The library as an outside project sees it:
#   1. installed into a temporary prefix, every public header compiles on its own as a
#      host's code would include it (-Wall -Wextra -Wshadow -Werror), and the outside
#      programs (examples/outside-project) build with find_package and run: the README's
#      example, and the help-menu host against the sample backend (it waits for the feed's
#      completion notification and reads each walkthrough it writes back);
#   2. the Debian packages: the runtime package holds a stripped library, is under 10 MB
#      and depends on runtime libraries only, and the outside programs build against the
#      runtime and -dev packages unpacked; the runtime package depends on the UiTools
#      library the forms are loaded with.
#   scripts/check-install.sh [build-dir]
# With --readme-route, only the README's own install route, on a build folder as `make
# demo` leaves it: the README's install command as written (its prefix a temporary one),
# then the README's example built with find_package against that prefix and run.
#   scripts/check-install.sh --readme-route [build-dir]
set -euo pipefail
readme_route=""
if [ "${1:-}" = --readme-route ]; then
  readme_route=1
  shift
fi
build=$(cd "${1:-build}" && pwd)
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/sample-backend.sh"
fail() { echo "check-install: $*" >&2; exit 1; }
# Runs a step with its output in a log, shown only when it fails.
step() {
  local name=$1
  shift
  "$@" >"$work/$name.log" 2>&1 || { cat "$work/$name.log" >&2; fail "$name failed"; }
}
# Runs a program against a backend root; the library's own files go to the work
# folder, never to a real profile.
run_offscreen() {
  local url=$1
  shift
  env QT_QPA_PLATFORM=offscreen WEXO_PRODUCTION_URL="$url" XDG_CONFIG_HOME="$work/config" \
    XDG_DATA_HOME="$work/data" timeout 60 "$@"
}

# build_outside PREFIX DIR [cmake options]: the outside programs against an installed library.
build_outside() {
  local prefix_path=$1 dir=$2
  shift 2
  step "outside-configure-$dir" cmake -S "$root/examples/outside-project" -B "$work/$dir" -G Ninja \
    -DCMAKE_PREFIX_PATH="$prefix_path" "$@"
  step "outside-build-$dir" cmake --build "$work/$dir"
}

if [ -n "$readme_route" ]; then
  command=$(sed -n 's/^    \(cmake --install .*\)$/\1/p' "$root/README.md" | head -n 1)
  [ -n "$command" ] || fail "the README gives no install command"
  read -r -a words <<<"$command"
  # The README's build folder is this one; its prefix, a temporary one.
  for i in "${!words[@]}"; do
    case ${words[$i]} in
      build) words[$i]=$build ;;
      /opt/wexocreator) words[$i]=$work/readme-prefix ;;
    esac
  done
  step readme-install "${words[@]}"
  build_outside "$work/readme-prefix" readme-route
  step readme-route-example run_offscreen http://127.0.0.1:9/ "$work/readme-route/app"
  echo "check-install: the README's install command ($command) works on $build, and its example builds against it and runs"
  exit 0
fi

prefix="$work/prefix"
step install cmake --install "$build" --prefix "$prefix"
mapfile -t headers < <(cd "$prefix/include" && find WexoCreator -name '*.h' | sort)
echo "check-install: public headers: ${headers[*]}"

# Each header alone, with the library's include folder as a host's own (not a system
# folder, so its warnings show) and Qt's as system folders, as C++17 (Qt 6's own
# standard and g++ 12's default) and as C++20.
mkdir -p "$work/headers/src"
for header in "${headers[@]}"; do
  printf '#include "%s"\n' "$header" >"$work/headers/src/$(echo "$header" | tr '/.-' '___').cpp"
done
cat >"$work/headers/CMakeLists.txt" <<EOF
cmake_minimum_required(VERSION 3.25)
project(WexoPublicHeaders LANGUAGES CXX)
find_package(Qt6 REQUIRED COMPONENTS Widgets Network)
file(GLOB sources src/*.cpp)
foreach(standard 17 20)
  add_library(headers\${standard} OBJECT \${sources})
  set_target_properties(headers\${standard} PROPERTIES CXX_STANDARD \${standard} CXX_STANDARD_REQUIRED ON CXX_EXTENSIONS OFF)
  target_include_directories(headers\${standard} PRIVATE "$prefix/include")
  target_compile_options(headers\${standard} PRIVATE -Wall -Wextra -Wshadow -Wpedantic -Werror)
  target_link_libraries(headers\${standard} PRIVATE Qt6::Widgets Qt6::Network)
endforeach()
EOF
step headers-configure cmake -S "$work/headers" -B "$work/headers/build" -G Ninja
step headers-build cmake --build "$work/headers/build"
echo "check-install: each of the ${#headers[@]} public headers compiles on its own as C++17 and C++20 (-Wall -Wextra -Wshadow -Wpedantic)"

# The logging switch and categories are exported, inside the library's namespace.
exported=$(nm -DC --defined-only "$(find "$prefix" -name 'libWexoCreator.so.*' -type f | head -n 1)")
for symbol in 'WexoCreator::setDebugLogging(bool)' 'WexoCreator::lcRecording()' 'WexoCreator::lcBackend()'; do
  grep -qF "$symbol" <<<"$exported" || fail "the library does not export $symbol"
done
if grep -qE ' T lc[A-Z][A-Za-z]*\(\)$' <<<"$exported"; then
  fail "a logging category sits outside the library's namespace"
fi

# A host on C++17, and one that sets no standard at all (the compiler's default).
build_outside "$prefix" outside-cxx17 -DCMAKE_CXX_STANDARD=17
build_outside "$prefix" outside
echo "check-install: the outside programs build as C++17 and with no standard set"

# The README's example starts the library against a closed loopback port and quits by itself.
step readme-example run_offscreen http://127.0.0.1:9/ "$work/outside/app"
echo "check-install: the README's example builds against $prefix and runs"

backend="$build/tools/sample-backend/wexo-sample-backend"
[ -x "$backend" ] || fail "$backend was not built"
start_sample_backend "$backend" --data "$root/examples/sample-host/data"
step help-menu run_offscreen "$url" "$work/outside/help-menu"
grep -q '^help menu: .* read back as ' "$work/help-menu.log" || { cat "$work/help-menu.log" >&2; fail "the help menu stayed empty"; }
sed -n 's/^help menu: /check-install: help-menu host lists: /p' "$work/help-menu.log"

# The Debian packages.
rm -f "$build"/*.deb "$build"/*.ddeb
(cd "$build" && step cpack cpack -G DEB)
runtime=$(ls "$build"/libwexocreator[0-9]*_*.deb 2>/dev/null | grep -v dbgsym | head -n 1)
dev=$(ls "$build"/libwexocreator-dev_*.deb 2>/dev/null | head -n 1)
[ -n "$runtime" ] && [ -n "$dev" ] || fail "cpack made no runtime and -dev packages: $(ls "$build"/*.deb 2>/dev/null)"
size=$(stat -c %s "$runtime")
[ "$size" -lt $((10 * 1024 * 1024)) ] || fail "$(basename "$runtime") is $size bytes, over 10 MB"
depends=$(dpkg-deb -f "$runtime" Depends)
if tr ',' '\n' <<<"$depends" | grep -q -- '-dev\b'; then
  fail "$(basename "$runtime") depends on a development package: $depends"
fi
# Forms are loaded at run time with Qt's UiTools library.
grep -q 'libqt6uitools6' <<<"$depends" || fail "$(basename "$runtime") does not depend on libqt6uitools6: $depends"
# Qt WebEngine's runtime only when the in-app page was built (it is large: nothing else
# may pull it in), with the reader library's licence next to the library.
cached() { sed -n "s/^$1:INTERNAL=//p" "$build/CMakeCache.txt"; }
if [ "$(cached WEXO_WEB_VIEW_BUILT)" = ON ]; then
  grep -q 'libqt6webengine' <<<"$depends" || fail "$(basename "$runtime") misses Qt WebEngine's runtime: $depends"
else
  if grep -q 'libqt6webengine' <<<"$depends"; then fail "$(basename "$runtime") depends on Qt WebEngine without the in-app page"; fi
fi
if [ "$(cached WEXO_READER_VIEW_BUILT)" = ON ]; then
  dpkg-deb -c "$runtime" | grep -q 'readability-LICENSE.md' || fail "$(basename "$runtime") lacks the reader library's licence"
fi
unpacked="$work/packages"
dpkg-deb -x "$runtime" "$unpacked"
dpkg-deb -x "$dev" "$unpacked"
library=$(find "$unpacked" -name 'libWexoCreator.so.*' -type f | head -n 1)
[ -n "$library" ] || fail "$(basename "$runtime") holds no library"
if readelf -S "$library" | grep -q '\.debug_info'; then
  fail "the packaged library still carries debug information"
fi
if dpkg-deb -c "$runtime" | grep -q '/include/'; then
  fail "$(basename "$runtime") holds headers"
fi
build_outside "$unpacked/usr" from-packages
echo "check-install: $(basename "$runtime"): $size bytes, stripped, Depends: $depends"
echo "check-install: $(basename "$dev"): Depends: $(dpkg-deb -f "$dev" Depends)"
for debug in "$build"/*-dbgsym_*.ddeb; do
  [ -e "$debug" ] && echo "check-install: $(basename "$debug"): the library's debug information"
done
echo "check-install: the outside programs build against the unpacked packages"
