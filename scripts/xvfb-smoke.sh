#!/usr/bin/env bash
# Smoke test in a real X server: installs the built program into a scratch
# prefix, starts it there as a user would, and drives it with real X input
# (xdotool): Add (typing the files' paths into the file dialog), Convert All
# into a folder, View, Next, Save Bitmap before and after Next, Exit. Then
# checks the files that appeared: the reports (byte for byte as
# quorvex-convert writes them), the two bitmaps, the remembered folders, and
# that nothing else was left behind.
#
#   scripts/xvfb-smoke.sh [BUILD_DIR]        (default: build)
#
# QD_SMOKE_WRAPPER runs the program under a tool (valgrind, ...); timeouts
# are multiplied by QD_SMOKE_SLOW (default 1). Prints the program's peak
# memory. Needs xvfb, xauth, xdotool and imagemagick (scripts/install-deps.sh).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"

if [ -z "${QD_SMOKE_INNER:-}" ]; then
    export QD_SMOKE_INNER=1
    exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" bash "$0" "$build"
fi

slow="${QD_SMOKE_SLOW:-1}"
tmp="$(mktemp -d /tmp/qd-smoke.XXXXXX)"
app_pid=""
cleanup()
{
    # The program runs under time(1): stop the program, time then ends.
    if [ -n "$app_pid" ]; then
        pkill -P "$app_pid" 2>/dev/null || true
        kill "$app_pid" 2>/dev/null || true
    fi
    rm -rf "$tmp"
}
trap cleanup EXIT

fail()
{
    echo "xvfb-smoke: FAILED: $*" >&2
    import -window root "/tmp/qd-smoke-failure.png" 2>/dev/null && echo "screen: /tmp/qd-smoke-failure.png" >&2
    [ ! -s "$tmp/app.log" ] || { echo "--- program output:" >&2; tail -n 40 "$tmp/app.log" >&2; }
    exit 1
}

# The visible windows whose names match $1. A search can fail with an X error
# when a window goes away while it runs; that counts as "don't know yet".
visible()
{
    xdotool search --onlyvisible --name "$1" 2>/dev/null
}

# Waits until a window whose name matches appears and prints its id.
window()
{
    local i id
    for ((i = 0; i < 200 * slow; i++)); do
        id=$(visible "$1" | head -n 1) || true
        [ -z "$id" ] || { echo "$id"; return 0; }
        sleep 0.1
    done
    fail "no window named '$1'"
}

# Waits until a command succeeds; $1 says what is awaited.
await()
{
    local what="$1" i
    shift
    for ((i = 0; i < 200 * slow; i++)); do
        "$@" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    fail "$what"
}

# Waits until no visible window matches.
gone()
{
    local i
    for ((i = 0; i < 200 * slow; i++)); do
        # Two searches in a row that find nothing: not one that failed.
        if [ -z "$(visible "$1")" ] && sleep 0.1 && [ -z "$(visible "$1")" ]; then
            return 0
        fi
        sleep 0.1
    done
    fail "window '$1' did not close"
}

# Sets X, Y, WIDTH and HEIGHT (the caller's locals, if it has them) to window
# $1's place and size. xdotool's --shell output is read as data, not run.
geometry()
{
    local key value
    while IFS='=' read -r key value; do
        case "$key" in
        X | Y | WIDTH | HEIGHT) printf -v "$key" '%s' "$value" ;;
        esac
    done < <(xdotool getwindowgeometry --shell "$1")
}

# Clicks at x,y relative to the top-left corner of window $1's client area,
# below a menu bar of height $4 (0 when none).
click()
{
    local X Y WIDTH HEIGHT
    geometry "$1"
    xdotool mousemove --sync $((X + $2)) $((Y + $4 + $3)) click 1
}

# Types text into window $1's focused field, replacing what is there, then
# Enter. A dialog takes its keyboard focus a moment after it is mapped, and
# the file name box's completer pops up while typing: each gets its moment.
settle()
{
    sleep "$(awk -v s="$slow" 'BEGIN { print 0.3 * s }')"
}
enter_text()
{
    xdotool windowfocus --sync "$1"
    settle
    xdotool key --clearmodifiers ctrl+a
    xdotool type --delay 5 --clearmodifiers "$2"
    settle
    xdotool key --clearmodifiers Return
}

# Waits until a file exists and is not empty.
appears()
{
    await "$1 did not appear" test -s "$1"
}

prefix="$tmp/prefix" data="$tmp/signatures" out="$tmp/reports" work="$tmp/work"
mkdir -p "$data" "$out" "$work" "$tmp/config" "$tmp/expected"
cmake --install "$build" --prefix "$prefix" >/dev/null
"$build/tools/quorvex-make-samples" --count 3 "$data"
"$build/tools/quorvex-convert" -o "$tmp/expected" -p Smoke "$data"/H000{1,2,3}.wav

export XDG_CONFIG_HOME="$tmp/config" QT_QPA_PLATFORM=xcb
cd "$work"
# shellcheck disable=SC2086
/usr/bin/time -f "%M" -o "$tmp/peak-kb" ${QD_SMOKE_WRAPPER:-} "$prefix/bin/quorvex-dravel" >"$tmp/app.log" 2>&1 &
app_pid=$!

main=$(window "^Quorvex Dravel for QX-4082 KVT")
geometry "$main"
bar=$((HEIGHT - 360)) # the client area is 512 x 360 below the menu bar
if ! { [ "$bar" -ge 0 ] && [ "$WIDTH" -eq 512 ]; }; then
    fail "main window is ${WIDTH}x${HEIGHT}"
fi

# Add: the open dialog takes several files as quoted full paths.
click "$main" 32 338 "$bar"
dialog=$(window "^Select File\(s\)$")
enter_text "$dialog" "\"$data/H0001.wav\" \"$data/H0002.wav\" \"$data/H0003.wav\""
await "the load folder was not remembered" grep -qx "LAST LOAD DIR=$data" "$tmp/config/Gauvrin.INI"
gone "^Select File\(s\)$"

# Convert All into the reports folder with a prefix; the final box is closed with Enter.
click "$main" 448 338 "$bar"
dialog=$(window "^Select a Directory to Save to$")
enter_text "$dialog" "$out/Smoke"
box=$(window "^Quorvex Dravel$")
xdotool windowfocus --sync "$box" key --clearmodifiers Return
gone "^Quorvex Dravel$"
for n in 1 2 3; do
    cmp -s "$out/Smoke-H000$n.csv" "$tmp/expected/Smoke-H000$n.csv" || fail "report Smoke-H000$n.csv differs"
done

# View the first file, save the chart, step to the next file, save again.
click "$main" 40 27 "$bar"
click "$main" 283 338 "$bar"
wave=$(window "^Signature Display$")
save_bitmap()
{
    local wbar
    geometry "$wave"
    wbar=$((HEIGHT - 552)) # the display's client area is 790 x 552
    click "$wave" 20 $((wbar / 2)) 0
    xdotool key --clearmodifiers s
    dialog=$(window "^Save As$|^Save File$|Wave.bmp")
    enter_text "$dialog" "$1"
    appears "$1"
    gone "^Save As$|^Save File$"
}
save_bitmap "$out/first.bmp"
geometry "$wave"
click "$wave" 771 15 $((HEIGHT - 552))
save_bitmap "$out/second.bmp"
for f in first second; do
    [ "$(head -c 2 "$out/$f.bmp")" = "BM" ] || fail "$f.bmp is not a bitmap"
done
cmp -s "$out/first.bmp" "$out/second.bmp" && fail "Next did not change the chart"

# Exit: the display's File > Exit, then the main window's.
geometry "$wave"
click "$wave" 20 $(((HEIGHT - 552) / 2)) 0
xdotool key --clearmodifiers x
gone "^Signature Display$"
xdotool windowfocus --sync "$main" key --clearmodifiers alt+f x
for ((i = 0; i < 100 * slow; i++)); do
    kill -0 "$app_pid" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$app_pid" 2>/dev/null && fail "the program did not end on Exit"
wait "$app_pid" || fail "the program exited with status $?"
app_pid=""

grep -qx "LAST SAVE DIR=$out" "$tmp/config/Gauvrin.INI" || fail "the save folder was not remembered"
left=$(find "$tmp/config" "$out" "$data" "$work" -name '.*' -o -name '*.tmp' | head -n 5)
[ -z "$left" ] || fail "temporary files left behind: $left"
[ -z "$(ls -A "$work")" ] || fail "files left in the current folder: $(ls -A "$work")"
echo "xvfb-smoke: ok: 3 reports, 2 bitmaps; peak memory $(cat "$tmp/peak-kb") KiB"
