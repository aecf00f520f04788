#!/usr/bin/env bash
# The host's command line, end to end, in both builds: exit statuses, error
# messages and what is (not) written.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
passed=0 failed=0

check() { # check NAME EXPECTED_STATUS COMMAND...
    local name=$1 expected=$2; shift 2
    local status=0
    "$@" >"$work/out.txt" 2>"$work/err.txt" || status=$?
    if [ "$status" -eq "$expected" ]; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        echo "FAIL $name: status $status, wanted $expected" >&2
        sed 's/^/    /' "$work/err.txt" >&2
    fi
}

check_absent() { # check_absent NAME FILE
    if [ -e "$2" ]; then
        failed=$((failed + 1))
        echo "FAIL $1: $2 was written" >&2
    else
        passed=$((passed + 1))
    fi
}

"$root/build/native/tools/orvane_sample" "$work/sample.png" "$work/relief.png" >/dev/null
printf 'not an image' >"$work/broken.png"

for build in --native win32; do
    run() { if [ "$build" = --native ]; then "$root/bin/zerafin" --native "$@"; else "$root/bin/zerafin" "$@"; fi; }
    check "$build: no command" 2 run
    check "$build: unknown option" 2 run filter "$work/sample.png" "$work/o.png" --bogus
    check "$build: nothing to apply" 2 run filter "$work/sample.png" "$work/o1.png"
    check_absent "$build: nothing to apply writes nothing" "$work/o1.png"
    check "$build: missing input" 2 run filter "$work/missing.png" "$work/o2.png" --params "$work/p"
    check "$build: corrupt input" 2 run filter "$work/broken.png" "$work/o3.png" --params "$work/p"
    check_absent "$build: corrupt input writes nothing" "$work/o3.png"
    check "$build: bad area" 2 run filter "$work/sample.png" "$work/o4.png" --area 0,0,5000,10 --params "$work/p"
    check "$build: channel of the wrong size" 2 run filter "$work/sample.png" "$work/o5.png" \
        --channel "Relief=$work/broken.png" --params "$work/p"
    check "$build: bad thread count" 2 run filter "$work/sample.png" "$work/o6.png" --threads 0
done

echo "cli: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
