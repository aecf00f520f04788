#!/usr/bin/env bash
# Runs the whole-run benchmark of both builds (built beforehand by
# scripts/build; nothing is built here) on a 4096 x 4096 image, with and
# without relief, on 1 and 2 threads, each figure the best of three, and
# prints the figures next to the speed goals. Run it on a quiet machine.
#
#   bench/run_goals.sh [SIZE]
source "$(dirname "$0")/../scripts/lib.sh"
SIZE=${1:-4096}
NATIVE="$BUILD_ROOT/native/bench/orvane_full_run"
WIN32="$BUILD_ROOT/win32/bench/orvane_full_run.exe"
for program in "$NATIVE" "$WIN32"; do
    [ -f "$program" ] || { echo "missing $program: run scripts/build first" >&2; exit 1; }
done

native_output=$("$NATIVE" "$SIZE" 1 2)
start_wine
trap stop_wine EXIT
win32_output=$(run_win32 "$WIN32" "$SIZE" 1 2 | tr -d '\r')
printf '%s\n\n%s\n\n' "== native" "$native_output" | sed 's/^/  /'
printf '%s\n\n%s\n\n' "== Win32 under Wine" "$win32_output" | sed 's/^/  /'

# megapixels OUTPUT RUN THREADS: the MP/s figure of one line of the output.
megapixels() {
    awk -v run="$2" -v threads="$3" \
        '$1 == run && $2 == threads && $3 == "thread(s):" { print $6 }' <<<"$1"
}

# row BUILD RUN OUTPUT GOAL
row() {
    local one two
    one=$(megapixels "$3" "$2" 1)
    two=$(megapixels "$3" "$2" 2)
    awk -v build="$1" -v run="$2" -v one="$one" -v two="$two" -v goal="$4" 'BEGIN {
        ratio = two / one
        printf "| %-6s | %-10s | %8.1f | %9.1f | %5.2f | %7.0f | %-7s | %-7s |\n", build, run,
               one, two, ratio, goal, (two >= goal ? "reached" : "not"), (ratio >= 1.85 ? "reached" : "not")
    }'
}

echo "$SIZE x $SIZE, 3 lights, MP/s (best of three)"
echo
echo "| build  | run        | 1 thread | 2 threads | 2T/1T | 2T goal | 2T      | 2T/1T   |"
echo "|--------|------------|----------|-----------|-------|---------|---------|---------|"
row native relief "$native_output" 40
row native untextured "$native_output" 100
row Win32 relief "$win32_output" 26
row Win32 untextured "$win32_output" 70
