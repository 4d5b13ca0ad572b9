#!/usr/bin/env bash
# The house rules that need no build, so CI fails on them within seconds:
# every C++ file as .clang-format lays it out, and every shell script clean
# under shellcheck. Runs from any directory; prints what it would change.
#
#   scripts/check-style.sh
set -euo pipefail
cd "$(dirname "$0")/.."

status=0

mapfile -t sources < <(git ls-files '*.cpp' '*.h')
if ! clang-format --dry-run -Werror "${sources[@]}"; then
    echo "check-style: run clang-format -i on the files above" >&2
    status=1
fi

# Every script: by its name, or by a shell in its first line.
mapfile -t scripts < <(
    git ls-files | while IFS= read -r f; do
        [ -f "$f" ] || continue
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
