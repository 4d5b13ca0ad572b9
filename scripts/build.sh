#!/usr/bin/env bash
# Installs the Debian packages, configures with a CMake preset (QD_PRESET,
# default: "default") and builds into build/ (or $QD_BUILD_DIR). QD_CMAKE_ARGS
# adds configure options.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
build="$(realpath -m "${QD_BUILD_DIR:-$root/build}")"
read -ra extra <<<"${QD_CMAKE_ARGS:-}"
(cd "$root" && cmake --preset "${QD_PRESET:-default}" -B "$build" "${extra[@]}" >/dev/null)
cmake --build "$build"
