#!/usr/bin/env bash
# Conversion throughput against the file system's floor, in one run:
#   (a) quorvex-convert -j 1
#   (b) quorvex-convert -j <cores>
#   (c) copy_floor: each input read, a file of its report's size written the
#       way reports are written, no formatting (see copy_floor.cpp)
# The three take turns over several repetitions (the order rotates every round),
# each into a new, empty output directory after a sync, and the medians and the
# ratios are taken within this one run, so a busy neighbour on the machine
# skews all three alike. Every run is checked: exit status 0, every report
# there, and (first round) byte for byte the same reports as a reference run.
# Each round also shows how much of the CPUs other processes took meanwhile,
# and a second line of medians covers only the rounds where that stayed small.
#
# Nothing is deleted until the end (about 100 MB of disk per run for 5,000
# files). On ext4 without a journal the kernel will not reuse an inode for a
# minute or more after its file was deleted, and every file created meanwhile
# walks past each such inode: deleting the last run's 5,000 files made the next
# run up to five times slower. For the same reason, leave a few minutes between
# two runs of this script on such a file system, or give --workdir another one.
#
# --memory instead prints the peak resident set size of quorvex-convert at
# 1,000 and 10,000 files (GNU time's -v), on one thread and on all cores.
#
# Usage: convert_throughput.sh [--files N] [--reps R] [--jobs J] [--workdir DIR] [--no-sync] BUILD_DIR
#        convert_throughput.sh --memory [--counts "1000 10000"] [--workdir DIR] BUILD_DIR
set -euo pipefail
shopt -s inherit_errexit

files=5000
reps=7
jobs=$(nproc)
workdir=${TMPDIR:-/tmp}
doSync=1
memory=0
counts="1000 10000"

usage()
{
    sed -n '/^# Usage:/,/^set /p' "$0" | sed '$d; s/^# \{0,1\}//' >&2
    exit 2
}

while [ $# -gt 0 ]; do
    case "$1" in
    --files) files=$2; shift 2 ;;
    --reps) reps=$2; shift 2 ;;
    --jobs) jobs=$2; shift 2 ;;
    --workdir) workdir=$2; shift 2 ;;
    --no-sync) doSync=0; shift ;;
    --memory) memory=1; shift ;;
    --counts) counts=$2; shift 2 ;;
    -h | --help) usage ;;
    -*) echo "unknown option $1" >&2; usage ;;
    *) break ;;
    esac
done
[ $# -eq 1 ] || usage
build=$(cd "$1" && pwd)
convert=$build/tools/quorvex-convert
makeSamples=$build/tools/quorvex-make-samples
floor=$build/bench/copy_floor
for exe in "$convert" "$makeSamples" "$floor"; do
    [ -x "$exe" ] || { echo "missing $exe: build the 'bench' target first" >&2; exit 1; }
done

tmp=$(mktemp -d "$workdir/quorvex-bench.XXXXXX")
trap 'rm -rf "$tmp"' EXIT
mkdir "$tmp/in"

die()
{
    echo "convert_throughput: $*" >&2
    exit 1
}

# Input names relative to $tmp/in, in order: H0001.wav, H0002.wav, ...
inputs=()
generate()
{
    "$makeSamples" --count "$1" "$tmp/in"
    mapfile -t inputs < <(cd "$tmp/in" && ls -v)
    [ "${#inputs[@]}" -eq "$1" ] || die "generated ${#inputs[@]} files, wanted $1"
}

# Makes the output directory $1, empty, and lets earlier writes reach the disk.
freshOutput()
{
    mkdir "$1"
    if [ "$doSync" -eq 1 ]; then
        sync # the last run's write-back must not land in the next run's time
    fi
}

reportCount()
{
    find "$1" -maxdepth 1 -name '*.csv' | wc -l
}

# ---------------------------------------------------------------- memory mode
if [ "$memory" -eq 1 ]; then
    [ -x /usr/bin/time ] || die "/usr/bin/time (Debian package 'time') is needed for --memory"
    largest=0
    for n in $counts; do [ "$n" -gt "$largest" ] && largest=$n; done
    generate "$largest"
    cd "$tmp/in"
    printf '%8s %6s %14s %10s\n' files jobs "peak RSS (KB)" "wall (s)"
    for j in $(printf '%s\n' 1 "$jobs" | sort -nu); do
        for n in $counts; do
            out=$tmp/out-$j-$n
            freshOutput "$out"
            /usr/bin/time -v -o "$tmp/time.txt" "$convert" -j "$j" -o "$out" "${inputs[@]:0:n}" >/dev/null ||
                die "quorvex-convert failed at $n files"
            [ "$(reportCount "$out")" -eq "$n" ] || die "quorvex-convert wrote too few reports at $n files"
            rss=$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$tmp/time.txt")
            wall=$(sed -n 's/.*Elapsed (wall clock) time (h:mm:ss or m:ss): //p' "$tmp/time.txt")
            printf '%8d %6d %14d %10s\n' "$n" "$j" "$rss" "$wall"
        done
    done
    exit 0
fi

# ------------------------------------------------------------ throughput mode
generate "$files"
cd "$tmp/in"

# Reference run: the reports every timed run must reproduce, and the sizes the
# floor writes. It also brings the inputs into the page cache for all three.
mkdir "$tmp/ref"
"$convert" -j 1 -o "$tmp/ref" "${inputs[@]}" >/dev/null || die "reference conversion failed"
for f in "${inputs[@]}"; do
    stat -c %s "$tmp/ref/${f%.*}.csv"
done >"$tmp/sizes" || die "reference conversion left out a report"

# CPU seconds all cores have spent busy since boot (idle and I/O wait left out).
cpuBusy()
{
    awk -v hz="$(getconf CLK_TCK)" '/^cpu / { printf "%.2f\n", ($2 + $3 + $4 + $7 + $8 + $9) / hz }' /proc/stat
}

# Runs one mode once into a fresh output directory; prints its wall-clock and
# CPU seconds (user + system, all threads) and the CPU seconds the rest of the
# machine used meanwhile.
runOnce()
{
    local mode=$1 round=$2 out=$tmp/out-$1-$2 cmd busy0 busy1
    freshOutput "$out"
    case "$mode" in
    a) cmd=("$convert" -j 1 -o "$out" "${inputs[@]}") ;;
    b) cmd=("$convert" -j "$jobs" -o "$out" "${inputs[@]}") ;;
    c) cmd=("$floor" --sizes "$tmp/sizes" -o "$out" "${inputs[@]}") ;;
    esac
    local TIMEFORMAT='%3R %3U %3S'
    busy0=$(cpuBusy)
    { time "${cmd[@]}" >/dev/null 2>"$tmp/stderr"; } 2>"$tmp/time" || die "run ($mode) failed: $(cat "$tmp/stderr")"
    busy1=$(cpuBusy)
    [ "$(reportCount "$out")" -eq "$files" ] || die "run ($mode) wrote $(reportCount "$out") of $files files"
    if [ "$round" -eq 1 ]; then
        if [ "$mode" = c ]; then
            # Same names and sizes as the reports, or the floor is not the floor.
            diff <(cd "$tmp/ref" && stat -c '%n %s' -- *.csv) <(cd "$out" && stat -c '%n %s' -- *.csv) >/dev/null ||
                die "the floor's files differ from the reports in name or size"
        else
            diff -r -q "$tmp/ref" "$out" >/dev/null || die "run ($mode) wrote reports unlike the reference run"
        fi
    fi
    awk -v busy="$busy0 $busy1" '{ split(busy, b, " "); others = b[2] - b[1] - $2 - $3
                                    printf "%s %.3f %.3f\n", $1, $2 + $3, (others > 0 ? others : 0) }' "$tmp/time"
}

median()
{
    sort -g | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else printf "%.3f\n", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# Median of column $1 over all rounds, or over those in which other processes
# used at most $2 percent of the machine's CPU capacity.
col()
{
    awk -v k="$1" -v most="$2" 'most == "all" || $8 <= most + 0 { print $k }' "$tmp/rounds" | median
}

loadAverage()
{
    cut -d' ' -f1-3 /proc/loadavg
}

echo "quorvex-convert throughput: $files files, $reps rounds, -j $jobs for (b), $(nproc) cores, work dir $workdir"
echo "load average before: $(loadAverage)"
# a/c and b/a compare files per second (wall clock) within each round. cpu a/c
# compares files per CPU second instead, and extra us/file is the CPU time (a)
# spends per file beyond the floor's. others % is how much of the machine's
# CPU capacity other processes used during the round's three runs: above a few
# percent they competed for the cores, and (b) needs all of them.
row()
{
    printf '%6s %12s %12s %12s %8s %8s %8s %14s %8s\n' "$@"
}
row round "(a) files/s" "(b) files/s" "(c) files/s" a/c b/a "cpu a/c" "extra us/file" "others %"
modes=(a b c)
declare -A wall cpu others
: >"$tmp/rounds"
for ((r = 1; r <= reps; ++r)); do
    for ((k = 0; k < 3; ++k)); do
        m=${modes[(r - 1 + k) % 3]}
        read -r "wall[$m]" "cpu[$m]" "others[$m]" < <(runOnce "$m" "$r")
        [ -n "${wall[$m]}" ] || exit 1
    done
    awk -v n="$files" -v wa="${wall[a]}" -v wb="${wall[b]}" -v wc="${wall[c]}" -v ca="${cpu[a]}" -v cc="${cpu[c]}" \
        -v others="${others[a]} ${others[b]} ${others[c]}" -v cores="$(nproc)" \
        'BEGIN { wa = wa > 0 ? wa : 0.001; wb = wb > 0 ? wb : 0.001; wc = wc > 0 ? wc : 0.001; ca = ca > 0 ? ca : 0.001
                 split(others, o, " "); share = 100 * (o[1] + o[2] + o[3]) / ((wa + wb + wc) * cores)
                 printf "%.1f %.1f %.1f %.3f %.3f %.3f %.1f %.0f\n", n / wa, n / wb, n / wc, wc / wa, wa / wb, cc / ca,
                        (ca - cc) / n * 1e6, (share > 100 ? 100 : share) }' >>"$tmp/rounds"
    # shellcheck disable=SC2046 # one word per column
    row "$r" $(tail -n 1 "$tmp/rounds")
done

row median "$(col 1 all)" "$(col 2 all)" "$(col 3 all)" "$(col 4 all)" "$(col 5 all)" "$(col 6 all)" \
    "$(col 7 all)" "$(col 8 all)"
quietLimit=5
quiet=$(awk -v most="$quietLimit" '$8 <= most' "$tmp/rounds" | wc -l)
if [ "$quiet" -gt 0 ]; then
    row quiet "$(col 1 $quietLimit)" "$(col 2 $quietLimit)" "$(col 3 $quietLimit)" "$(col 4 $quietLimit)" \
        "$(col 5 $quietLimit)" "$(col 6 $quietLimit)" "$(col 7 $quietLimit)" "$(col 8 $quietLimit)"
fi
echo "($quiet of $reps rounds quiet: others at most $quietLimit %)"
echo "load average after: $(loadAverage)"
summary="all rounds: a/c $(col 4 all), b/a $(col 5 all)"
if [ "$quiet" -gt 0 ]; then
    summary+="; quiet rounds: a/c $(col 4 $quietLimit), b/a $(col 5 $quietLimit)"
fi
echo "goals: a/c >= 0.60, b/a >= 1.6 on two cores (-j $jobs here); $summary"
