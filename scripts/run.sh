#!/usr/bin/env bash
# Builds the program and starts it.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/build.sh"
build="${QD_BUILD_DIR:-$root/build}"
# Until the window program exists, show what the converter makes of the bundled samples.
out="$root/out/samples-csv"
mkdir -p "$out"
"$build/tools/quorvex-convert" -o "$out" "$root"/samples/H*
echo "The CSV reports of the sample signatures are in $out"
