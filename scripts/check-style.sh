#!/usr/bin/env bash
# The house rules that need no build, so CI fails on them within seconds:
# every C++ file as .clang-format lays it out, and every shell script clean
# under shellcheck. Runs from any directory; prints what it would change.
#
#   scripts/check-style.sh
set -euo pipefail
cd "$(dirname "$0")/.."

status=0

# TODO: scripts not yet clean under shellcheck, left to the work that owns
# them; remove a line once its file passes: the smoke test (its
# kill $(pgrep ...), eval, and the unused SCREEN and WINDOW of xdotool's
# --shell output) and the shared-folder transcript's script.
pending_shell=(
    scripts/xvfb-smoke.sh
    docs/changes/shared-folders-proof.sh
)
pending()
{
    local f="$1" p
    shift
    for p in "$@"; do
        [ "$f" != "$p" ] || return 0
    done
    return 1
}

mapfile -t sources < <(git ls-files '*.cpp' '*.h')
if ! clang-format --dry-run -Werror "${sources[@]}"; then
    echo "check-style: run clang-format -i on the files above" >&2
    status=1
fi

# Every script: by its name, or by a shell in its first line.
mapfile -t scripts < <(
    git ls-files | while IFS= read -r f; do
        [ -f "$f" ] || continue
        ! pending "$f" "${pending_shell[@]}" || continue
        case "$f" in
        *.sh | .ci/run) echo "$f" ;;
        *) head -n 1 "$f" 2>/dev/null | grep -Eq '^#!.*\b(ba)?sh\b' && echo "$f" ;;
        esac
    done
)
if ! shellcheck -x "${scripts[@]}"; then
    status=1
fi

exit "$status"
