#!/usr/bin/env bash
# Process start to exit of quorvex-dravel's command-line exports, offscreen:
# --export of five files to PNG, --print-pdf of the same five, and a bare
# --help as the share of start-up alone (loading the libraries, no Qt
# application). Prints the median and the range of REPS runs of each, the
# three taking turns so a busy spell on the machine falls on all of them.
#
#   bash bench/display/export_startup.sh [--reps N] BUILD_DIR
set -euo pipefail

reps=10
while [[ $# -gt 0 ]]; do
    case "$1" in
    --reps)
        reps="$2"
        shift 2
        ;;
    -*)
        echo "usage: $0 [--reps N] BUILD_DIR" >&2
        exit 2
        ;;
    *) break ;;
    esac
done
build="${1:?usage: $0 [--reps N] BUILD_DIR}"
dravel="$build/src/app/quorvex-dravel"
samples="$build/tools/quorvex-make-samples"
for exe in "$dravel" "$samples"; do
    [[ -x "$exe" ]] || {
        echo "missing $exe: build quorvex-dravel and quorvex-make-samples" >&2
        exit 2
    }
done

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir "$work/in"
"$samples" --count 5 --no-extension "$work/in" >/dev/null
mapfile -t files < <(find "$work/in" -type f | sort)

export QT_QPA_PLATFORM=offscreen
unset DISPLAY WAYLAND_DISPLAY

# Milliseconds one run of the command takes, start to exit.
run_ms() {
    local t0 t1
    t0=$(date +%s%N)
    "$@" >/dev/null 2>&1
    t1=$(date +%s%N)
    echo $(((t1 - t0) / 1000000))
}

declare -a help_ms export_ms page_ms
# One warm-up of each: the first run reads the libraries from disk.
"$dravel" --help >/dev/null
"$dravel" --export "$work/out.png" "${files[@]}" 2>/dev/null
"$dravel" --print-pdf "$work/out.pdf" "${files[@]}" 2>/dev/null
for ((i = 0; i < reps; i++)); do
    help_ms+=("$(run_ms "$dravel" --help)")
    export_ms+=("$(run_ms "$dravel" --export "$work/out.png" "${files[@]}")")
    page_ms+=("$(run_ms "$dravel" --print-pdf "$work/out.pdf" "${files[@]}")")
done

# "median min max" of the numbers given.
summary() {
    printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END {
        m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
        printf "%6.1f ms  (%d .. %d)", m, v[1], v[NR] }'
}

echo "quorvex-dravel, ${#files[@]} files, median of $reps runs (min .. max), offscreen"
echo "  --help (start-up share)   $(summary "${help_ms[@]}")"
echo "  --export OUT.png          $(summary "${export_ms[@]}")"
echo "  --print-pdf OUT.pdf       $(summary "${page_ms[@]}")"
