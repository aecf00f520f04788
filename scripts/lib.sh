# Shared by scripts/build, scripts/test and scripts/demo: installs what is
# missing from Debian's packages, builds, and runs Win32 programs under Wine.
set -euo pipefail

ORVANE_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD_ROOT="$ORVANE_ROOT/build"

REQUIRED_PACKAGES=(
    cmake make g++ pkg-config
    googletest libgtest-dev libgmock-dev libbenchmark-dev
    libstb-dev nlohmann-json3-dev zlib1g-dev libz-mingw-w64-dev
    clang libclang-rt-14-dev
    g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686
    wine wine32:i386 fonts-wine xvfb xauth
    fonts-dejavu-core
    nsis python3 unzip
)

log() { printf '\033[1m==> %s\033[0m\n' "$*" >&2; }

# For the test scripts that scripts/test runs as steps: the script ends at the
# first command that fails outside a condition (making an input, say), and
# says which, so that a step cannot pass with a command failing inside it.
stop_at_any_failure() {
    set -eEuo pipefail
    trap 'echo "FAIL: status $? at line $LINENO of ${BASH_SOURCE[0]}: $BASH_COMMAND" >&2' ERR
}

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

package_installed() {
    dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'
}

ensure_dependencies() {
    local missing=() package
    for package in "${REQUIRED_PACKAGES[@]}"; do
        package_installed "$package" || missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    log "installing: ${missing[*]}"
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        as_root dpkg --add-architecture i386
    fi
    as_root apt-get update -qq
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
}

# configure_and_build DIR [cmake options...] -- [targets...]
configure_and_build() {
    local dir=$1; shift
    local options=() targets=()
    while [ $# -gt 0 ] && [ "$1" != -- ]; do options+=("$1"); shift; done
    [ $# -gt 0 ] && shift
    targets=("$@")
    cmake -S "$ORVANE_ROOT" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${options[@]}" >/dev/null
    if [ ${#targets[@]} -eq 0 ]; then
        cmake --build "$dir" -j "$(nproc)"
    else
        cmake --build "$dir" -j "$(nproc)" --target "${targets[@]}"
    fi
}

build_native() { log "native build"; configure_and_build "$BUILD_ROOT/native" -DORVANE_BENCHMARKS=ON; }
build_sanitized() {
    log "native build with AddressSanitizer and UndefinedBehaviorSanitizer"
    configure_and_build "$BUILD_ROOT/native-asan" -DORVANE_SANITIZE=ON -DORVANE_BENCHMARKS=OFF -- \
        orvane_tests zerafin orvane_sample orvane_image_check orvane_script_docs
}
# The libFuzzer targets, built by clang under the sanitizers.
build_fuzz() {
    log "fuzz targets (clang, AddressSanitizer and UndefinedBehaviorSanitizer)"
    configure_and_build "$BUILD_ROOT/fuzz" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
        -DORVANE_FUZZ=ON -DORVANE_BENCHMARKS=OFF -- orvane_fuzz_targets
}
FUZZ_TARGETS=(image script style params property_list terminology font)

# fuzz_run TARGET OPTIONS...: runs one target over its committed corpus (which
# it only reads) and a scratch corpus of what it finds (under FUZZ_SCRATCH,
# build/fuzz/corpus by default). Whatever makes it fail is saved into the
# committed corpus, to be kept. The sanitizers' quarantine and allocation
# stacks are kept small, which makes a run several times faster.
fuzz_run() {
    local target=$1; shift
    local seeds="$ORVANE_ROOT/tests/fuzz/$target"
    local scratch="${FUZZ_SCRATCH:-$BUILD_ROOT/fuzz/corpus}/$target"
    mkdir -p "$scratch" || return # (called under an if, where errexit is off)
    ASAN_OPTIONS=detect_leaks=1:quarantine_size_mb=8:malloc_context_size=4 \
        UBSAN_OPTIONS=print_stacktrace=1 \
        "$BUILD_ROOT/fuzz/tests/fuzz/fuzz_$target" -artifact_prefix="$seeds/" \
        -rss_limit_mb=2048 -max_len=131072 "$@" "$scratch" "$seeds"
}

build_win32() {
    log "Win32 build (i686 mingw-w64)"
    configure_and_build "$BUILD_ROOT/win32" \
        -DCMAKE_TOOLCHAIN_FILE="$ORVANE_ROOT/cmake/toolchain-mingw-i686.cmake"
}

# shipped_program SOURCE COPY: a program of the Win32 build as the release
# ships it, without the debugging information the build keeps for developers
# (the command-line host is 22 MB with it, 1.2 MB without). Strip would write
# the time of day into the PE header; given SOURCE_DATE_EPOCH it writes that
# instead, here the build's own time stamp, so that the same build always
# gives the same release.
shipped_program() {
    local stamp
    stamp=$(pe_time_stamp "$1") || return
    SOURCE_DATE_EPOCH=$stamp i686-w64-mingw32-strip --strip-all -o "$2" "$1"
}

# pe_time_stamp FILE: the TimeDateStamp of a PE file's header, which follows
# the "PE\0\0" signature (whose offset the DOS header holds at byte 60) and
# two 16-bit fields.
pe_time_stamp() {
    local header
    header=$(od -An -tu4 -j 60 -N4 "$1") || return
    od -An -tu4 -j $((header + 8)) -N4 "$1" | tr -d ' '
}

# Wine with a private prefix under build/, and a private X display when none is
# set.
wine_environment() {
    export WINEPREFIX="$BUILD_ROOT/wineprefix"
    export WINEARCH=win32
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml="
}

# A Unix path as Wine sees it (drive Z: is the Unix root).
windows_path() { local path=$1; printf 'Z:%s' "${path//\//\\}"; }

# Runs a program of the Win32 build under Wine, finding PLUGIN.dll in dist/.
run_win32() { WINEPATH="$(windows_path "$BUILD_ROOT/win32/dist")" wine "$@"; }

# A Wine session: the prefix's server and the private display its programs draw
# on. Starting both costs seconds, so a session outlives the command that opened
# it by WINE_SESSION_SECONDS and the next command joins it at once. Each display
# has a keeper that ends it once the server has ended and no command is using
# the session.
WINE_SESSION_SECONDS=${ORVANE_WINE_SESSION_SECONDS:-60}
WINE_SESSION_DIR="$BUILD_ROOT/wine-session"

# True while the prefix's server runs: it works in a folder named after the
# prefix's device and inode.
wine_server_running() {
    [ -d "$WINEPREFIX" ] || return 1
    local folder process
    folder=$(stat -c 'server-%D-' "$WINEPREFIX")$(printf '%x' "$(stat -c %i "$WINEPREFIX")")
    for process in /proc/[0-9]*; do
        [[ $(cat "$process/comm" 2>/dev/null) == wineserver* ]] || continue
        [[ $(readlink "$process/cwd" 2>/dev/null) == */"$folder" ]] && return 0
    done
    return 1
}

# True while process PID runs: a process that has ended but whose parent has
# not yet collected it (a zombie, as an orphan stays where nothing reaps) is
# not running.
process_running() {
    local state
    state=$(sed 's/^.*) \(.\).*$/\1/' "/proc/$1/stat" 2>/dev/null) || return 1
    [ -n "$state" ] && [ "$state" != Z ]
}

# Holds the session's lock on descriptor 8 until unlock_wine_session. Whatever
# is started meanwhile to outlive the command must not inherit it.
lock_wine_session() {
    mkdir -p "$WINE_SESSION_DIR"
    exec 8>"$WINE_SESSION_DIR/lock"
    flock 8
}
unlock_wine_session() { exec 8>&-; }

# A command uses the session from open_wine_session until it ends: it holds a
# shared lock on descriptor 9, which the programs it starts need not inherit.
use_wine_session() {
    exec 9>"$WINE_SESSION_DIR/users"
    flock -s 9
}
wine_session_unused() { flock -xn "$WINE_SESSION_DIR/users" true; }

# Uses the session's display when it still runs, else starts one with its
# keeper. The display file holds the display's number and its Xvfb's process.
join_or_start_display() {
    local file="$WINE_SESSION_DIR/display" number pid
    if [ -f "$file" ] && read -r number pid <"$file" &&
        process_running "$pid" && [ -e "/tmp/.X11-unix/X$number" ]; then
        export DISPLAY=":$number"
        return 0
    fi
    for number in $(seq 90 140); do
        [ -e "/tmp/.X11-unix/X$number" ] || [ -e "/tmp/.X$number-lock" ] && continue
        setsid Xvfb ":$number" -screen 0 1024x768x24 -nolisten tcp </dev/null >/dev/null 2>&1 8>&- 9>&- &
        pid=$!
        for _ in $(seq 50); do
            if [ -e "/tmp/.X11-unix/X$number" ]; then
                echo "$number $pid" >"$file"
                export DISPLAY=":$number"
                setsid bash -c 'source "$1"; wine_environment; keep_session_display "$2"' _ \
                    "$ORVANE_ROOT/scripts/lib.sh" "$pid" </dev/null >/dev/null 2>&1 8>&- 9>&- &
                return 0
            fi
            sleep 0.1
        done
        kill "$pid" 2>/dev/null || true
    done
    log "could not start Xvfb"
    return 1
}

# Ends the session's display (with the lock held): asked first, then killed
# when it has not ended within 5 s.
stop_session_display() {
    local file="$WINE_SESSION_DIR/display" number pid
    if [ -f "$file" ] && read -r number pid <"$file"; then
        kill "$pid" 2>/dev/null || true
        for _ in $(seq 50); do
            process_running "$pid" || break
            sleep 0.1
        done
        ! process_running "$pid" || kill -KILL "$pid" 2>/dev/null || true
    fi
    rm -f "$file"
}

# The process of the session's Xvfb, as the display file names it.
session_display_process() {
    local number pid
    read -r number pid <"$WINE_SESSION_DIR/display" 2>/dev/null && echo "$pid"
}

# The keeper of the display whose Xvfb is process PID, run detached: it waits
# for Wine's server to end, then ends the display unless a command still uses
# the session (its program may be starting a new server) or the display has
# been ended or replaced meanwhile.
keep_session_display() {
    local pid=$1
    while true; do
        wineserver -w 2>/dev/null || true
        lock_wine_session
        if [ "$(session_display_process)" != "$pid" ]; then
            unlock_wine_session
            return 0
        fi
        if ! wine_server_running && wine_session_unused; then
            stop_session_display
            unlock_wine_session
            return 0
        fi
        unlock_wine_session
        sleep 1
    done
}

# Opens or joins the session, which the caller then uses until it ends; PERSIST
# is the server's -p argument (seconds after its last program, or empty for as
# long as it is not killed).
open_wine_session() {
    local persist=$1
    wine_environment
    lock_wine_session
    use_wine_session
    if [ -z "${DISPLAY:-}" ] || [ -n "${ORVANE_PRIVATE_DISPLAY:-}" ]; then
        join_or_start_display
    fi
    if ! wine_server_running; then
        # The server needs the prefix's folder; Wine fills it at the first program.
        mkdir -p "$WINEPREFIX"
        wineserver "-p$persist" </dev/null >/dev/null 2>&1 8>&- 9>&- || true
    fi
    unlock_wine_session
}

# Ends the session now: the server, the programs it keeps and the display; the
# caller no longer uses it.
close_wine_session() {
    wine_environment
    lock_wine_session
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    stop_session_display
    unlock_wine_session
    exec 9>&-
}

# A whole test or demo run owns the prefix: it starts from a fresh session kept
# for the whole run and ends it, leaving nothing running.
start_wine() {
    close_wine_session
    open_wine_session ""
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        log "creating the Wine prefix"
    fi
    # The first program of a new prefix waits for the prefix to be set up.
    wine cmd.exe /c exit >/dev/null 2>&1 || true
    # Unmanaged windows close at once; managed ones wait for a window manager
    # that Xvfb does not have.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
}

stop_wine() { close_wine_session; }
