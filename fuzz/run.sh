#!/usr/bin/env bash
# Runs the fuzz targets of a build made with the 'fuzz' preset, each for the
# given number of seconds, starting from the committed corpus (which is only
# read: new inputs go to a scratch folder). Prints the executions per target.
# A finding stops with a non-zero status and leaves the input that caused it
# in ARTIFACTS (default: a folder named in the output). QD_FUZZ_ARGS adds
# libFuzzer options (e.g. -rss_limit_mb=4096 to step past a known memory hog).
#
#   fuzz/run.sh BUILD_DIR SECONDS [TARGET...]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="${1:?usage: fuzz/run.sh BUILD_DIR SECONDS [TARGET...]}"
seconds="${2:?usage: fuzz/run.sh BUILD_DIR SECONDS [TARGET...]}"
shift 2
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(fuzz_signature fuzz_summary fuzz_settings fuzz_emf)

scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
artifacts="${ARTIFACTS:-$(mktemp -d /tmp/qd-fuzz-findings.XXXXXX)}"
# The sanitizers' options are compiled into the targets
# (cmake/SanitizerOptions.cpp); ASAN_OPTIONS and the like override them.
# The targets write a file per execution; memory-backed scratch files keep
# them from being bound by the disk.
if [ -z "${TMPDIR:-}" ] && [ -w /dev/shm ]; then
    export TMPDIR=/dev/shm
fi

status=0
for target in "${targets[@]}"; do
    case "$target" in
        fuzz_signature | fuzz_summary) extra=(-max_len=30000) ;;
        fuzz_settings) extra=(-max_len=4096 "-dict=$here/settings.dict") ;;
        fuzz_emf) extra=(-max_len=16384) ;;
        *) echo "unknown target $target" >&2; exit 2 ;;
    esac
    mkdir -p "$scratch/$target"
    log="$scratch/$target.log"
    started=$SECONDS
    # shellcheck disable=SC2086
    if "$build/fuzz/$target" "${extra[@]}" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 ${QD_FUZZ_ARGS:-} \
        -print_final_stats=1 -artifact_prefix="$artifacts/$target-" \
        "$scratch/$target" "$here/corpus/$target" >"$log" 2>&1; then
        result=ok
    else
        result=FINDING
        status=1
        tail -n 60 "$log"
    fi
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -n 1)
    cov=$(grep -o 'cov: [0-9]*' "$log" | tail -n 1 || true)
    echo "$target: $result after $((SECONDS - started)) s, ${runs:-?} executions, ${rate:-?} exec/s, $cov"
done
[ $status -eq 0 ] || echo "findings are in $artifacts" >&2
[ $status -ne 0 ] || rmdir "$artifacts" 2>/dev/null || true
exit $status
