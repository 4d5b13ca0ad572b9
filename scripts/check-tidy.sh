#!/usr/bin/env bash
# Runs clang-tidy (.clang-tidy at the root) over the sources of src/ and tools/,
# with the compile commands of a configured and built build directory (the moc
# files must exist). Fails on any finding.
#
#   scripts/check-tidy.sh [BUILD_DIR]        (default: build)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"
cd "$root"
tidy="$(command -v clang-tidy-14 || command -v clang-tidy)"

# Files not checked yet, each with the finding that keeps it out. They belong
# to work in progress elsewhere; remove a line once its file is clean.
pending=(
    src/app/TFm_CmainLayout.cpp  # TODO: buildControls is over 60 lines (readability-function-size)
    src/schedule/TFm_ASSetup.cpp # TODO: the constructor is over 60 lines (readability-function-size)
    src/convert/BatchProcedure.cpp # TODO: runBatchConversion's question taken by value (performance-unnecessary-value-param)
)

mapfile -t sources < <(git ls-files 'src/*.cpp' 'tools/*.cpp')
checked=()
for f in "${sources[@]}"; do
    skip=0
    for p in "${pending[@]}"; do
        [ "$f" != "$p" ] || skip=1
    done
    [ "$skip" = 1 ] || checked+=("$f")
done

# The build may treat warnings as errors; here the compiler's own warnings
# are the build's business, the listed checks are tidy's.
printf '%s\n' "${checked[@]}" |
    xargs -P "$(nproc)" -n 4 "$tidy" -p "$build" --quiet --extra-arg=-Wno-error --extra-arg=-Wno-unknown-warning-option
