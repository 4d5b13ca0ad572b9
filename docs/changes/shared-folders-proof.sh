#!/bin/bash
# Usage: proof.sh CONVERTER SAMPLEGEN  -- runs every case in fresh folders, prints a transcript.
C=$1; G=$2
W=$(mktemp -d /tmp/qd-proof.XXXXXX); chmod 755 "$W"
cd "$W" || exit 1
say() { printf '\n$ %s\n' "$*"; }
run() { say "$*"; eval "$*"; echo "[exit $?]"; }

echo "=== G1 / F1: link at the report name"
mkdir g1 g1/out g1/in; $G --count 1 g1/in >/dev/null
echo "root:x:0:0:root:/root:/bin/bash" > g1/passwd-copy
ln -s "$W/g1/passwd-copy" g1/out/H0001.csv
run "$C -o g1/out g1/in/H0001.wav"
run "head -c 60 g1/passwd-copy; echo; ls -l g1/out | cut -c1-10,40-"

echo; echo "=== G2: link in a watched folder to another user's 0600 signature"
mkdir g2 g2/in g2/out g2/private; $G --count 2 --no-extension g2/in >/dev/null
$G --count 1 --first 7 --no-extension g2/private >/dev/null
chown 65534:65534 g2/private/H0007; chmod 600 g2/private/H0007
ln -s "$W/g2/private/H0007" g2/in/H0003
run "$C --watch g2/in --once -o g2/out"
run "ls -l g2/out | cut -c1-10,40-"

echo; echo "=== G3: a signature under its report's name, converted in its own folder"
mkdir g3; $G --count 1 g3 >/dev/null; mv g3/H0001.wav g3/H0009.csv
run "(cd g3 && $C H0009.csv)"
run "ls -l g3 | cut -c1-10,24-; head -c 32 g3/H0009.csv | od -c | head -2"

echo; echo "=== G5/G6: file run into 2000 existing reports, SIGTERM part-way"
mkdir g5 g5/in g5/out; $G --count 1 --no-extension g5/in >/dev/null
for i in $(seq -w 1 1999); do ln g5/in/H0001 "g5/in/H1$i"; done
for f in g5/in/*; do printf 'old\r\n' > "g5/out/$(basename "$f").csv"; done
say "$C -j 1 -o g5/out g5/in/* & ... kill -TERM once H10010.csv is replaced"
$C -j 1 -o g5/out g5/in/* > g5/stdout 2> g5/stderr & pid=$!
while [ "$(stat -c %s g5/out/H10010.csv)" = 5 ]; do sleep 0.005; done; kill -TERM $pid; wait $pid; rc=$?
echo "[exit $rc]"; cat g5/stdout; head -3 g5/stderr
run "ls -A g5/out | grep -v '^H[0-9]*\.csv\$' | head; echo entries: \$(ls -A g5/out | wc -l); echo old: \$(grep -l '^old' g5/out/* | wc -l)"

echo; echo "=== G6: --once stopped by SIGINT, --every stopped by SIGTERM"
for f in g5/in/*; do printf 'old\r\n' > "g5/out/$(basename "$f").csv"; done
say "$C --watch g5/in --once -j 1 -o g5/out & ... kill -INT once H10010.csv is replaced"
$C --watch g5/in --once -j 1 -o g5/out > g5/stdout 2>&1 & pid=$!
while [ "$(stat -c %s g5/out/H10010.csv)" = 5 ]; do sleep 0.005; done; kill -INT $pid; wait $pid; echo "[exit $?]"; cat g5/stdout
say "$C --watch g5/in --every 1 -o g5/out & ... after the first pass, kill -TERM"
$C --watch g5/in --every 1 -o g5/out > g5/stdout 2>&1 & pid=$!
while ! grep -q converted g5/stdout; do sleep 0.01; done; kill -TERM $pid; wait $pid; echo "[exit $?]"; cat g5/stdout

echo; echo "=== G7: no thread can be started (task limit 1, as nobody)"
mkdir g7 g7/in g7/out; chmod 777 g7/out; $G --count 6 g7/in >/dev/null
say "setpriv --reuid=65534 --regid=65534 --clear-groups bash -c 'ulimit -u 1; exec $C -j 4 -o g7/out g7/in/*'"
setpriv --reuid=65534 --regid=65534 --clear-groups bash -c "ulimit -u 1; exec $C -j 4 -o g7/out g7/in/*" 2>&1; echo "[exit $?]"
run "ls g7/out"

echo; echo "=== G8: --every 1e-9 and 0x10"
mkdir g8; $G --count 1 --no-extension g8 >/dev/null
say "timeout 2 $C --watch g8 --every 1e-9 -o g8 > g8/log"
timeout 2 "$C" --watch g8 --every 1e-9 -o g8 > g8/log 2>&1; echo "[exit $?]"; echo "log: $(wc -l < g8/log) lines, $(wc -c < g8/log) bytes"; head -2 g8/log
say "timeout 2 $C --watch g8 --every 0x10 -o g8"
timeout 2 "$C" --watch g8 --every 0x10 -o g8 2>&1 | head -2; echo "[exit ${PIPESTATUS[0]}]"

echo; echo "=== G9: -p '/', '../x', a newline, ''"
mkdir -p g9/out/sub; $G --count 1 g9 >/dev/null
run "$C -o g9/out/sub -p / g9/H0001.wav"
run "$C -o g9/out/sub -p ../x g9/H0001.wav"
run "$C -o g9/out/sub -p \$'a\nb' g9/H0001.wav"
run "$C -o g9/out/sub -p '' g9/H0001.wav"
run "ls -bR g9/out"

echo; echo "=== F4: standard error closed (2>&-), missing inputs among good ones"
mkdir f4 f4/in f4/out; $G --count 200 f4/in >/dev/null
args=(); for f in f4/in/*.wav; do args+=("$f" "${f%.wav}-missing.wav"); done
say "$C -j 2 -o f4/out H0001.wav H0001-missing.wav H0002.wav H0002-missing.wav ... (200 + 200 files) 2>&-"
$C -j 2 -o f4/out "${args[@]}" 2>&-; echo "[exit $?]"
run "grep -l 'quorvex-convert' f4/out/* | wc -l"

echo; echo "=== F5: a 255-byte report name, created then replaced"
mkdir f5; $G --count 1 f5 >/dev/null; n=$(printf 'H%.0s' $(seq 1 251)); cp f5/H0001.wav "f5/$n.wav"
say "$C -o f5 f5/H…H.wav   (251 H: report name of 255 bytes)"
$C -o f5 "f5/$n.wav" 2>&1 | sed 's/HHHHH*/H…H/g'; echo "[exit ${PIPESTATUS[0]}]"
say "$C -o f5 f5/H…H.wav   (again: replaces the report)"
$C -o f5 "f5/$n.wav" 2>&1 | sed 's/HHHHH*/H…H/g'; echo "[exit ${PIPESTATUS[0]}]"
echo; echo "=== end"
