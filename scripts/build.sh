#!/usr/bin/env bash
# Installs the Debian packages, configures and builds into build/ (or $QD_BUILD_DIR).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
build="${QD_BUILD_DIR:-$root/build}"
cmake -S "$root" -B "$build" -G Ninja ${QD_CMAKE_ARGS:-} >/dev/null
cmake --build "$build"
