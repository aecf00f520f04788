# What the benchmarks of whole commands share (sourced after scripts/lib.sh):
# their arguments, the builds' folders, the check that they are built, the
# earlier build that --baseline names, and the median of a list of figures.
NATIVE="$BUILD_ROOT/native"
WIN32="$BUILD_ROOT/win32"

# read_arguments DEFAULT ARGUMENT...: the benchmark's "[--baseline DIR] [VALUE]";
# sets `baseline` (empty without it) and `value` (DEFAULT without it).
read_arguments() {
    local default=$1
    shift
    baseline=
    if [ "${1:-}" = --baseline ]; then
        baseline=$2
        shift 2
    fi
    value=${1:-$default}
}

# require_built PROGRAM...: ends the benchmark when a program is missing.
require_built() {
    local program
    for program in "$@"; do
        [ -f "$program" ] || { echo "missing $program: run scripts/build first" >&2; exit 1; }
    done
}

# builds_to_time BASELINE: the builds, one a line, "label native-folder
# win32-folder": this one, after the baseline build in BASELINE when given (its
# native/zerafin and its win32/zerafin.exe with the module and PLUGIN.dll).
builds_to_time() {
    [ -n "$1" ] && echo "baseline $1/native $1/win32"
    echo "this $NATIVE $WIN32/dist"
}

# median "FIGURE FIGURE ...": the middle figure (of an even count, the lower).
median() { tr ' ' '\n' <<<"$1" | grep . | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
