#!/usr/bin/env bash
# Whole commands timed as a user runs them, from the start of the process to
# the written file: `zerafin filter` on a SIZE x SIZE BMP with its grey relief
# BMP and three lights (a spot, an omni and a directional light, relief 60),
# BMP out and PNG out, natively and under Wine, on 2 threads and on 1; against
# a plain copy of the image (cp) and the host's own reading and writing of it
# with nothing lit. Each figure is the median of three.
#
# With --baseline DIR (a folder holding an earlier build: DIR/native/zerafin and
# DIR/win32/zerafin.exe with its module and PLUGIN.dll beside it), the earlier
# build's commands run in turn with this one's, so that both meet the same load.
# Builds nothing: run scripts/build first.
#
#   bench/whole_runs.sh [--baseline DIR] [SIZE]
source "$(dirname "$0")/../scripts/lib.sh"
source "$(dirname "$0")/builds.sh"
set -euo pipefail

read_arguments 4096 "$@"
SIZE=$value
require_built "$NATIVE/zerafin" "$NATIVE/bench/orvane_end_to_end" "$WIN32/dist/zerafin.exe" \
    "$WIN32/bench/orvane_end_to_end.exe"

work="$BUILD_ROOT/whole-runs"
rm -rf "$work"
mkdir -p "$work"
"$NATIVE/bench/orvane_end_to_end" --inputs "$SIZE" "$work"
start_wine
trap 'stop_wine; rm -rf "$work"' EXIT
wine_work=$(windows_path "$work")

# The builds: a label and the folders of its hosts.
mapfile -t builds < <(builds_to_time "$baseline")

# filter_args OUTPUT THREADS FOLDER: the arguments of a filter command whose
# files are in FOLDER (as the host that runs it names it).
filter_args() {
    local sep='/'
    [[ $3 == *\\* ]] && sep='\'
    echo filter "$3${sep}image.bmp" "$3${sep}$1" --channel "Relief=$3${sep}relief.bmp" \
        --script "$3${sep}lights.json" --threads "$2"
}

# seconds COMMAND...: the wall-clock time of the command, in seconds.
seconds() {
    local start end
    start=$(date +%s%N)
    "$@" >/dev/null
    end=$(date +%s%N)
    awk -v ns=$((end - start)) 'BEGIN { printf "%.3f", ns / 1e9 }'
}

# The runs: a name and a command with BUILD_NATIVE and BUILD_WIN32 standing for
# the build's folders.
runs=(
    "native, BMP out, 2 threads|BUILD_NATIVE/zerafin $(filter_args out.bmp 2 "$work")"
    "native, BMP out, 1 thread|BUILD_NATIVE/zerafin $(filter_args out.bmp 1 "$work")"
    "native, PNG out, 2 threads|BUILD_NATIVE/zerafin $(filter_args out.png 2 "$work")"
    "Wine, BMP out, 2 threads|wine BUILD_WIN32/zerafin.exe $(filter_args out.bmp 2 "$wine_work")"
    "Wine, BMP out, 1 thread|wine BUILD_WIN32/zerafin.exe $(filter_args out.bmp 1 "$wine_work")"
    "Wine, PNG out, 2 threads|wine BUILD_WIN32/zerafin.exe $(filter_args out.png 2 "$wine_work")"
)
declare -A times
for round in 1 2 3; do
    for run in "${runs[@]}"; do
        name=${run%%|*}
        for build in "${builds[@]}"; do
            read -r label native win32 <<<"$build"
            command=${run#*|}
            command=${command//BUILD_NATIVE/$native}
            command=${command//BUILD_WIN32/$win32}
            # shellcheck disable=SC2086 # the command's words
            times["$name|$label"]+="$(seconds $command) "
        done
    done
    times["copy (cp)|this"]+="$(seconds cp "$work/image.bmp" "$work/copy.bmp") "
    times["host's read and write, native|this"]+="$(seconds "$NATIVE/bench/orvane_end_to_end" \
        --convert "$work/image.bmp" "$work/copy.bmp") "
    times["host's read and write, Wine|this"]+="$(seconds run_win32 "$WIN32/bench/orvane_end_to_end.exe" \
        --convert "$wine_work\\image.bmp" "$wine_work\\copy.bmp") "
done


echo "$SIZE x $SIZE, three lights over a grey relief, BMP in; seconds, median of three"
echo
if [ -n "$baseline" ]; then
    echo "| run | baseline | this build | this / baseline |"
    echo "|---|---|---|---|"
else
    echo "| run | seconds |"
    echo "|---|---|"
fi
for run in "${runs[@]}"; do
    name=${run%%|*}
    this_build=$(median "${times[$name|this]}")
    if [ -n "$baseline" ]; then
        earlier=$(median "${times[$name|baseline]}")
        awk -v n="$name" -v b="$earlier" -v a="$this_build" \
            'BEGIN { printf "| %s | %.3f | %.3f | %.2f |\n", n, b, a, a / b }'
    else
        echo "| $name | $this_build |"
    fi
done
for name in "copy (cp)" "host's read and write, native" "host's read and write, Wine"; do
    if [ -n "$baseline" ]; then
        echo "| $name | | $(median "${times[$name|this]}") | |"
    else
        echo "| $name | $(median "${times[$name|this]}") |"
    fi
done
