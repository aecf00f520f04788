# Hostile inputs and unkind surroundings, natively (sourced by
# run_cli_tests.sh, whose helpers and inputs it uses): damaged fonts, pipes
# given as inputs, outputs through links and over protected files, truncated
# images, a run without enough memory, and runs ended by SIGTERM or SIGHUP.
harden="$work/hardening"
mkdir -p "$harden"

# --- Damaged fonts are refused before anything is lit.
: >"$harden/empty.ttf"
printf 'not a font at all' >"$harden/text.ttf"
head -c 57648 /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf >"$harden/cut.ttf"
for font in empty text cut; do
    check "native: a gallery with the font $font.ttf" 2 native styles --gallery "$work/sample.png" \
        "$harden/g.png" --font "$harden/$font.ttf"
    says "native: the font $font.ttf" "damaged font" "$work/err.txt"
done
absent "native: a damaged font writes no gallery" "$harden/g.png"

# --- A named pipe as any input is refused at once, never waited on.
mkfifo "$harden/pipe.png" "$harden/pipe.json" "$harden/pipe.ttf" "$harden/pipe.params"
pipe_check() { # pipe_check NAME ARGUMENTS...: refused within seconds, saying why
    local name="native: a pipe as $1"; shift
    check "$name" 2 timeout 20 "$native_build/zerafin" "$@"
    says "$name" "not a regular file" "$work/err.txt"
}
pipe_check "the image" filter "$harden/pipe.png" "$harden/o.png" --style "Par défaut"
pipe_check "--script" filter "$work/sample.png" "$harden/o.png" --script "$harden/pipe.json"
pipe_check "--channel" filter "$work/sample.png" "$harden/o.png" --script "$work/relief.json" \
    --channel "Relief=$harden/pipe.png"
pipe_check "--params" filter "$work/sample.png" "$harden/o.png" --params "$harden/pipe.params"
pipe_check "--font" styles --gallery "$work/sample.png" "$harden/g.png" --font "$harden/pipe.ttf"
absent "native: pipes as inputs write nothing" "$harden/o.png" "$harden/g.png"
mkdir -p "$harden/batch"
check "native: a pipe in a batch" 2 timeout 20 "$native_build/zerafin" filter "$work/small.png" \
    "$harden/pipe.png" "$work/sample.bmp" --out-dir "$harden/batch" --style "Par défaut"
says "native: a pipe in a batch is skipped" "'$harden/pipe.png' was skipped" "$work/err.txt"
[ -f "$harden/batch/small.png" ] && [ -f "$harden/batch/sample.png" ] && pass ||
    fail "native: the batch goes on after the pipe"

# --- An output through a link replaces the link's target, and a rewritten
# file keeps its permissions.
mkdir -p "$harden/shared"
cp "$work/small.png" "$harden/shared/current.png"
cp "$work/small.png" "$harden/private.png"
printf '{}' >"$harden/shared/settings.json"
chmod 600 "$harden/shared/current.png" "$harden/private.png"
chmod 640 "$harden/shared/settings.json"
ln -s shared/current.png "$harden/out.png"
ln -s shared/settings.json "$harden/record.json"
check "native: an output and a recording through links" 0 native filter "$work/sample.png" \
    "$harden/out.png" --script "$work/plain.json" --record "$harden/record.json"
[ -L "$harden/out.png" ] && [ -L "$harden/record.json" ] && pass ||
    fail "native: the links were replaced by files"
differ "native: the link's target changed" "$harden/shared/current.png" "$work/small.png"
says "native: the recording went to the link's target" "LghS" "$harden/shared/settings.json"
check "native: a private image lit in place" 0 native filter "$harden/private.png" \
    "$harden/private.png" --style "Par défaut"
ln -s shared/stored.params "$harden/params-link"
check "native: stored settings through a link to a file yet to be made" 0 native filter \
    "$work/small.png" "$harden/o1.png" --script "$work/plain.json" --params "$harden/params-link"
check "native: stored settings read and rewritten through the link" 0 native filter \
    "$work/small.png" "$harden/o2.png" --params "$harden/params-link"
[ -L "$harden/params-link" ] && [ -s "$harden/shared/stored.params" ] && pass ||
    fail "native: the parameter file's link was replaced"
same "native: the stored settings light as the script did" "$harden/o1.png" "$harden/o2.png"
modes=$(stat -c '%a' "$harden/shared/current.png" "$harden/shared/settings.json" "$harden/private.png" | tr '\n' ' ')
[ "$modes" = "600 640 600 " ] && pass || fail "native: rewritten files have the modes $modes"

# --- Truncated bitmaps and Targa files are refused, not read with black rows.
head -c 300000 "$work/sample.bmp" >"$harden/cut.bmp"
head -c 300000 "$work/sample.tga" >"$harden/cut.tga"
for image in cut.bmp cut.tga; do
    check "native: the truncated $image" 2 native filter "$harden/$image" "$harden/o.png" \
        --style "Par défaut"
    says "native: the truncated $image" "truncated" "$work/err.txt"
done

# --- Out of memory inside the decoder is said as such (exit 3), whatever
# format the decoder tried last (not under the sanitizers, whose allocator
# does not live under an address space limit).
if [ "$(basename "$native_build")" = native ]; then
    "$image_check" tile "$work/sample.png" "$harden/big.png" 16
    check "native: out of memory while decoding" 3 bash -c 'ulimit -v 150000 && exec "$0" "$@"' \
        "$native_build/zerafin" filter "$harden/big.png" "$harden/o.png" --style "Par défaut"
    says "native: out of memory while decoding" "not enough memory" "$work/err.txt"
    rm -f "$harden/big.png"
fi

# --- SIGTERM and SIGHUP at random moments of a run (reading, lighting or
# writing) end it as Ctrl+C does: status 1 and nothing written, or status 0
# with the whole image; never a temporary file left behind.
"$image_check" convert "$work/large.png" "$harden/large.jpg"
mkdir -p "$harden/signals"
# waits_for_handlers PID: until the process runs the host and catches SIGHUP
# and SIGTERM (bits 1 and 15 of its caught mask), so that a signal sent while
# it is still starting, before any program could answer it, is not counted.
waits_for_handlers() {
    local pid=$1 mask
    for _ in $(seq 400); do
        if [ "$(readlink "/proc/$pid/exe" 2>/dev/null)" = "$(readlink -f "$native_build/zerafin")" ]; then
            mask=$(awk '/^SigCgt:/ { print $2 }' "/proc/$pid/status" 2>/dev/null)
            [ -n "$mask" ] && [ $((16#$mask & 0x4001)) -eq $((0x4001)) ] && return 0
        fi
        kill -0 "$pid" 2>/dev/null || return 0 # it has ended already
        sleep 0.005
    done
}
for run in 1 2 3 4 5 6; do
    signal=$([ $((run % 2)) -eq 0 ] && echo TERM || echo HUP)
    input=$([ $((run % 3)) -eq 0 ] && echo "$harden/large.jpg" || echo "$work/large.png")
    rm -f "$harden/signals/out.png"
    (exec "$native_build/zerafin" filter "$input" "$harden/signals/out.png" --style "Par défaut" \
        --threads 1 --record "$harden/signals/out.json") 2>/dev/null &
    pid=$!
    waits_for_handlers "$pid"
    sleep "0.$((RANDOM % 10))$((RANDOM % 10))"
    kill -"$signal" "$pid" 2>/dev/null || true # the run may have ended already
    status=0
    wait "$pid" || status=$?
    name="native: SIG$signal at a random moment (run $run)"
    case $status in
    0) [ -s "$harden/signals/out.png" ] && pass || fail "$name: status 0 without the image" ;;
    1) absent "$name" "$harden/signals/out.png" ;;
    *) fail "$name: status $status" ;;
    esac
    leftovers=$(find "$harden/signals" -name '.zerafin-*' | wc -l)
    [ "$leftovers" -eq 0 ] && pass || fail "$name: $leftovers temporary files left"
done

# --- Runs reading one style at once share it: none of them misses it.
mkdir -p "$harden/parallel"
pids=()
for run in 1 2 3 4 5 6 7 8; do
    native filter "$work/small.png" "$harden/parallel/$run.png" --style Bougie \
        2>"$harden/parallel/$run.txt" &
    pids+=($!)
    native styles >"$harden/parallel/list-$run.txt" 2>&1 &
    pids+=($!)
done
statuses=0
for pid in "${pids[@]}"; do wait "$pid" || statuses=$((statuses + 1)); done
[ "$statuses" -eq 0 ] && pass || fail "native: $statuses of ${#pids[@]} parallel runs on one style failed"
[ "$(grep -lx Bougie "$harden/parallel"/list-*.txt | wc -l)" -eq 8 ] && pass ||
    fail "native: a listing beside the parallel runs left 'Bougie' out"
