#!/usr/bin/env bash
# The host's command line, end to end, in both builds: exit statuses, error
# messages, what is (not) written, and the images themselves, compared byte for
# byte. The Win32 host runs under Wine through bin/zerafin; each Wine start
# costs time, so the Win32 build gets the checks that can differ between the
# builds and the native build the rest.
#
# ORVANE_NATIVE_BUILD: the native build folder (default build/native).
# ZERAFIN_WIN32: a zerafin.exe to run with the caller's Wine environment
# instead of bin/zerafin (which uses build/win32 and its own prefix).
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
native_build=${ORVANE_NATIVE_BUILD:-$root/build/native}
win32_exe=${ZERAFIN_WIN32:-}
win32_dist=$(dirname "${win32_exe:-$root/build/win32/dist/zerafin.exe}")
image_check="$native_build/tools/orvane_image_check"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
passed=0 failed=0

pass() { passed=$((passed + 1)); }
fail() { failed=$((failed + 1)); echo "FAIL $*" >&2; }

native() { "$native_build/zerafin" "$@"; }
win32() {
    if [ -n "$win32_exe" ]; then wine "$win32_exe" "$@"; else "$root/bin/zerafin" "$@"; fi
}

check() { # check NAME EXPECTED_STATUS COMMAND...: the status, stdout in out.txt, stderr in err.txt
    local name=$1 expected=$2; shift 2
    local status=0
    "$@" >"$work/out.txt" 2>"$work/err.txt" || status=$?
    tr -d '\r' <"$work/out.txt" >"$work/out.tmp" && mv "$work/out.tmp" "$work/out.txt"
    if [ "$status" -eq "$expected" ]; then
        pass
    else
        fail "$name: status $status, wanted $expected"
        sed 's/^/    /' "$work/err.txt" >&2
    fi
}

says() { # says NAME PATTERN FILE: the file has a line matching the pattern
    if grep -q -- "$2" "$3"; then pass; else fail "$1: no line matching '$2' in $(basename "$3")"; fi
}

absent() { # absent NAME FILE...
    local name=$1 file; shift
    for file in "$@"; do
        if [ -e "$file" ]; then fail "$name: $file was written"; else pass; fi
    done
}

same() { # same NAME A B: byte-identical files
    if cmp -s "$2" "$3"; then pass; else fail "$1: $(basename "$2") and $(basename "$3") differ"; fi
}

golden() { # golden NAME FILE CHECKSUM_FILE: the file has the checksum kept in the tree
    local expected actual
    expected=$(cut -d' ' -f1 "$3")
    actual=$(sha256sum "$2" | cut -d' ' -f1)
    if [ "$expected" = "$actual" ]; then pass; else fail "$1: $(basename "$2") is no longer the image it was"; fi
}

differ() { # differ NAME A B
    if cmp -s "$2" "$3"; then fail "$1: $(basename "$2") and $(basename "$3") are identical"; else pass; fi
}

# --- Inputs: the sample and its relief, other formats, an alpha channel, a
# large image for the interruption, scripts.
"$native_build/tools/orvane_sample" "$work/sample.png" "$work/relief.png" >/dev/null
"$image_check" tile "$work/sample.png" "$work/small.png" 1
"$image_check" convert "$work/sample.png" "$work/sample.bmp"
"$image_check" convert "$work/sample.png" "$work/sample.tga"
"$image_check" convert "$work/sample.png" "$work/sample.jpg"
"$image_check" convert "$work/sample.jpg" "$work/sample-jpg.png"
"$image_check" convert "$work/relief.png" "$work/relief-rgb.png"
"$image_check" convert "$work/sample.png" "$work/sample-alpha.png" "$work/relief.png"
printf 'not an image' >"$work/broken.png"

light='{"Clr ": {"Rd  ": 255, "Grn ": 220, "Bl  ": 120}, "Intn": 40, "Fcs ": 60, "On  ": true, "LghT": "LghS", "Pstn": [35, 40], "Vct0": [60, 70], "Vct1": [30, 55], "Rds ": 20}'
omni='{"Clr ": {"Rd  ": 80, "Grn ": 120, "Bl  ": 255}, "Intn": 20, "On  ": true, "LghT": "LghO", "Pstn": [75, 30], "Vct0": [80, 35], "Vct1": [70, 25], "Rds ": 15}'
material='"CrnL": 1, "Glos": 30, "Mtrl": -40, "Exps": 10, "AmbB": 5, "AmbC": {"Rd  ": 255, "Grn ": 255, "Bl  ": 255}, "FrmW": 100.0'
script() { # script FILE [TEXTURE KEYS]
    printf '{"LghS": [%s, %s], %s%s}\n' "$light" "$omni" "$material" "${2:+, $2}" >"$1"
}
script "$work/plain.json"
script "$work/relief.json" '"BmpC": {"name": "Relief"}, "WhHi": true, "BmpA": 70'
script "$work/relief0.json" '"BmpC": {"name": "Relief"}, "WhHi": true, "BmpA": 0'
script "$work/alpha.json" '"BmpC": {"name": "Alpha 1"}, "WhHi": true, "BmpA": 70'
script "$work/index5.json" '"BmpC": {"index": 5}, "WhHi": true, "BmpA": 70'
script "$work/index4.json" '"BmpC": {"index": 4}, "WhHi": true, "BmpA": 70'
printf '{"Glos": ' >"$work/bad-json.json"
printf '{"Glos": "high"}\n' >"$work/bad-type.json"
printf '[1, 2]\n' >"$work/bad-shape.json"
printf '{"LghS": [{"Pstn": [50]}]}\n' >"$work/bad-point.json"
relief=(--channel "Relief=$work/relief.png")

# --- Usage and input errors, both builds: exit 2 with a clear message, nothing written.
for build in native win32; do
    check "$build: no command" 2 $build
    check "$build: unknown option" 2 $build filter "$work/sample.png" "$work/o.png" --bogus
    check "$build: nothing to apply" 2 $build filter "$work/sample.png" "$work/e1.png"
    says "$build: nothing to apply" "nothing to apply" "$work/err.txt"
    check "$build: missing input" 2 $build filter "$work/missing.png" "$work/e2.png" --script "$work/plain.json"
    says "$build: missing input" "cannot open" "$work/err.txt"
    check "$build: corrupt input" 2 $build filter "$work/broken.png" "$work/e3.png" --script "$work/plain.json"
    says "$build: corrupt input" "cannot read" "$work/err.txt"
    check "$build: area outside" 2 $build filter "$work/sample.png" "$work/e4.png" --area 0,0,500,10 --script "$work/plain.json"
    says "$build: area outside" "outside the 640 x 400 image" "$work/err.txt"
    check "$build: channel of the wrong size" 2 $build filter "$work/sample.png" "$work/e5.png" \
        --channel "Relief=$work/broken.png" --script "$work/plain.json"
    check "$build: style with script" 2 $build filter "$work/sample.png" "$work/e6.png" --style "Par défaut" --script "$work/plain.json"
    says "$build: style with script" "choose one" "$work/err.txt"
    absent "$build: errors write nothing" "$work"/e[1-6].png
done
check "native: bad thread count" 2 native filter "$work/sample.png" "$work/e7.png" --threads 0 --script "$work/plain.json"
check "native: unwritable output" 2 native filter "$work/sample.png" "$work/no/such/dir.png" \
    --script "$work/plain.json" --params "$work/e8.params" --record "$work/e8.json"
says "native: unwritable output" "cannot write" "$work/err.txt"
absent "native: unwritable output writes nothing" "$work/e8.params" "$work/e8.json"
for bad in bad-json bad-type bad-shape bad-point; do
    check "native: script $bad" 2 native filter "$work/sample.png" "$work/e-$bad.png" \
        --script "$work/$bad.json" --record "$work/e-$bad.json"
    says "native: script $bad" "script '.*$bad.json'" "$work/err.txt"
    absent "native: script $bad writes nothing" "$work/e-$bad.png" "$work/e-$bad.json"
done
check "win32: malformed script" 2 win32 filter "$work/sample.png" "$work/e9.png" --script "$work/bad-type.json"
says "win32: malformed script names the key" '"Glos"' "$work/err.txt"

# --- The module's description.
check "native: info" 0 native info
cp "$work/out.txt" "$work/info-native.txt"
for pattern in "'kind' kind *'9ZFM'" "'catg' category *\"Rendu\"" "'name' name *\"Orvane...\"" \
    "'wx86' entry point *ENTRYPOINT1" "suite \"Zerafin\" 'ZRFN'" "event \"orvane\" class 'Fltr' code 'LghE'" \
    "\"matière\" *key 'Mtrl' type 'long'" "\"cône\" *key 'Fcs ' type 'long' flags 0x1000" \
    "enumeration 'LghT' (3)" "\"projecteur\" *'LghS'"; do
    says "native: info" "$pattern" "$work/info-native.txt"
done
check "win32: info" 0 win32 info
same "info is the same read from the module file" "$work/info-native.txt" "$work/out.txt"
check "win32: info of a missing module" 2 win32 info --plugin "$work/missing.9zf"

# A module that is not a filter, or not for RGB images, is refused before it runs.
patched_module() { # patched_module NAME PATTERN: a copy of the module with one byte changed after PATTERN
    local offset
    offset=$(LC_ALL=C grep -obUaP "$2" "$win32_dist/Orvane.9zf" | head -1 | cut -d: -f1)
    cp "$win32_dist/Orvane.9zf" "$work/$1.9zf"
    [ -n "$offset" ] && printf "$3" | dd of="$work/$1.9zf" bs=1 seek=$((offset + 12)) conv=notrunc 2>/dev/null
}
patched_module not-a-filter 'dnik\x00\x00\x00\x00\x04\x00\x00\x00MFZ9' 'X'
patched_module not-rgb 'edom\x00\x00\x00\x00\x04\x00\x00\x00\x11' '\001'
check "win32: not a filter" 2 win32 filter "$work/sample.png" "$work/e10.png" --script "$work/plain.json" \
    --plugin "$work/not-a-filter.9zf"
says "win32: not a filter" "not a filter" "$work/err.txt"
check "win32: not for RGB" 2 win32 filter "$work/sample.png" "$work/e11.png" --script "$work/plain.json" \
    --plugin "$work/not-rgb.9zf"
says "win32: not for RGB" "do not allow RGB" "$work/err.txt"
absent "win32: refused modules write nothing" "$work/e10.png" "$work/e11.png"

# --- Scripts, both builds: the same bytes.
check "native: script" 0 native filter "$work/sample.png" "$work/plain-native.png" --script "$work/plain.json"
differ "the script lights the image" "$work/sample.png" "$work/plain-native.png"
check "win32: script" 0 win32 filter "$work/sample.png" "$work/plain-win32.png" --script "$work/plain.json"
same "script: native and Win32 give the same image" "$work/plain-native.png" "$work/plain-win32.png"
check "native: relief" 0 native filter "$work/sample.png" "$work/relief-native.png" --script "$work/relief.json" "${relief[@]}"
differ "relief changes the image" "$work/plain-native.png" "$work/relief-native.png"
check "win32: relief" 0 win32 filter "$work/sample.png" "$work/relief-win32.png" --script "$work/relief.json" "${relief[@]}"
same "relief: native and Win32 give the same image" "$work/relief-native.png" "$work/relief-win32.png"
check "native: relief 0" 0 native filter "$work/sample.png" "$work/relief0.png" --script "$work/relief0.json" "${relief[@]}"
same "a textured run with relief 0 is the untextured run" "$work/plain-native.png" "$work/relief0.png"
# The demo's image against the checksum kept in the tree, so that a change
# that shifts both builds alike is caught too.
check "native: demo" 0 native filter "$work/sample.png" "$work/demo.png" \
    --channel "Relief=$work/relief.png" --script "$root/samples/demo.json"
golden "demo: the image it always gave" "$work/demo.png" "$root/tests/golden/demo.sha256"

# Recording and replay. A run without the dialog records the geometry it lit
# (percent of the frame, as the script gave it), so replaying the recording
# lights the same image and records the same script again.
check "native: record" 0 native filter "$work/sample.png" "$work/rec1.png" --script "$work/relief.json" \
    "${relief[@]}" --record "$work/rec1.json"
same "native: recording changes nothing in the image" "$work/relief-native.png" "$work/rec1.png"
check "native: replay" 0 native filter "$work/sample.png" "$work/rec2.png" --script "$work/rec1.json" \
    "${relief[@]}" --record "$work/rec2.json"
same "native: the replay records the same script" "$work/rec1.json" "$work/rec2.json"
same "native: the replay lights the recorded image" "$work/rec1.png" "$work/rec2.png"
check "win32: record" 0 win32 filter "$work/sample.png" "$work/wrec1.png" --script "$work/plain.json" --record "$work/wrec1.json"
same "win32: recording changes nothing in the image" "$work/plain-win32.png" "$work/wrec1.png"
check "win32: replay" 0 win32 filter "$work/sample.png" "$work/wrec2.png" --script "$work/wrec1.json" --record "$work/wrec2.json"
same "win32: the replay records the same script" "$work/wrec1.json" "$work/wrec2.json"
same "win32: the replay lights the recorded image" "$work/wrec1.png" "$work/wrec2.png"

# The dialog opens on the display and waits for the user: "OK" lights the
# image with the settings shown, "Annuler" writes nothing. A helper presses
# the button, so this needs the display the host shows its windows on.
presser="$root/build/win32/tests/orvane_press_button.exe"
press() { # press CAPTION CONTROL_ID
    if [ -n "$win32_exe" ]; then wine "$presser" "$@"; else
        (source "$root/scripts/lib.sh" && wine_environment && run_win32 "$presser" "$@"); fi
}
dialog_run() { # dialog_run NAME EXPECTED_STATUS BUTTON OUTPUT
    local status=0
    win32 filter "$work/sample.png" "$4" --dialog >"$work/out.txt" 2>"$work/err.txt" &
    local host=$!
    press Orvane "$3" || fail "$1: the dialog did not show"
    wait "$host" || status=$?
    if [ "$status" -eq "$2" ]; then pass; else fail "$1: status $status, wanted $2"; fi
}
if [ -n "${DISPLAY:-}" ] && [ -f "$presser" ]; then
    dialog_run "win32: dialog confirmed" 0 1007 "$work/dialog.png"
    if "$image_check" compare "$work/sample.png" "$work/dialog.png" >/dev/null; then
        fail "win32: the confirmed dialog left the image unlit"
    else pass; fi
    dialog_run "win32: dialog cancelled" 1 1008 "$work/cancelled.png"
    absent "win32: dialog cancelled" "$work/cancelled.png"
else
    echo "skipped: the dialog runs (no display shared with the host)" >&2
fi

# Threads: every count lights every row once, the same way.
for threads in 1 2 3 7; do
    check "native: $threads threads" 0 native filter "$work/sample.png" "$work/threads$threads.png" \
        --script "$work/relief.json" "${relief[@]}" --threads "$threads"
    same "$threads threads give the same image" "$work/relief-native.png" "$work/threads$threads.png"
done

# An area: only the area changes, also with relief (whose margin reads beyond it).
for area in 50,100,250,400 0,0,64,65 333,571,400,640; do
    check "native: area $area" 0 native filter "$work/sample.png" "$work/area.png" --area "$area" \
        --script "$work/relief.json" "${relief[@]}"
    if "$image_check" compare "$work/sample.png" "$work/area.png" "$area" >"$work/compare.txt"; then
        pass
    else
        fail "area $area: pixels outside the area changed ($(cat "$work/compare.txt"))"
    fi
    says "area $area: the area is lit" "inside [1-9]" "$work/compare.txt"
done

# Image formats: BMP and TGA read as the PNG does; JPEG as its decoded pixels;
# grey images become RGB; alpha becomes the channel "Alpha 1".
for format in bmp tga; do
    check "native: $format input" 0 native filter "$work/sample.$format" "$work/from-$format.png" --script "$work/plain.json"
    same "$format input gives the PNG's image" "$work/plain-native.png" "$work/from-$format.png"
done
check "native: jpeg input" 0 native filter "$work/sample.jpg" "$work/from-jpg.png" --script "$work/plain.json"
check "native: decoded jpeg" 0 native filter "$work/sample-jpg.png" "$work/from-jpg-png.png" --script "$work/plain.json"
same "jpeg input gives its decoded pixels' image" "$work/from-jpg-png.png" "$work/from-jpg.png"
check "native: grey input" 0 native filter "$work/relief.png" "$work/from-grey.png" --script "$work/plain.json"
check "native: grey as RGB" 0 native filter "$work/relief-rgb.png" "$work/from-grey-rgb.png" --script "$work/plain.json"
same "a grey image is filtered as its RGB equal" "$work/from-grey-rgb.png" "$work/from-grey.png"
check "native: alpha texture" 0 native filter "$work/sample-alpha.png" "$work/from-alpha.png" --script "$work/alpha.json"
if "$image_check" compare "$work/relief-native.png" "$work/from-alpha.png" >/dev/null; then pass; else
    fail "the alpha channel is the texture \"Alpha 1\""; fi
# Channels follow the image's in the order given: channel 5 is the second one added.
check "native: channel order" 0 native filter "$work/sample.png" "$work/index5.png" --script "$work/index5.json" \
    --channel "First=$work/sample.png" "${relief[@]}"
check "native: channel index" 0 native filter "$work/sample.png" "$work/index4.png" --script "$work/index4.json" "${relief[@]}"
same "channels follow in the order given" "$work/index4.png" "$work/index5.png"
same "a channel by index is the channel by name" "$work/relief-native.png" "$work/index4.png"

# Progress, and the parameter block kept between runs: a second run without a
# script repeats the last.
check "native: progress" 0 native filter "$work/sample.png" "$work/progress.png" --script "$work/plain.json" \
    --progress --params "$work/kept.params"
says "native: progress reaches 100 %" "100%" "$work/err.txt"
check "native: repeat the last" 0 native filter "$work/sample.png" "$work/repeat.png" --params "$work/kept.params"
same "the kept parameter block repeats the last filter" "$work/plain-native.png" "$work/repeat.png"

# --- Styles.
for build in native win32; do
    check "$build: styles" 0 $build styles
    says "$build: styles lists the default style" "^Par défaut$" "$work/out.txt"
    check "$build: unknown style" 2 $build filter "$work/sample.png" "$work/e12.png" --style "Pas un style"
    says "$build: unknown style" "no style named 'Pas un style'" "$work/err.txt"
    check "$build: a style cannot leave its folder" 2 $build filter "$work/sample.png" "$work/e13.png" --style "../Orvane.9zf"
    absent "$build: refused styles write nothing" "$work/e12.png" "$work/e13.png"
    check "$build: default style" 0 $build filter "$work/sample.png" "$work/style-$build.png" --style "Par défaut" \
        --record "$work/style-$build.json"
    differ "$build: the default style lights the image" "$work/sample.png" "$work/style-$build.png"
done
# "Par défaut" as a script, written from the style file's numbers: one yellow
# spot at the centre (intensity 127, focus 128), vectors (30, 30) and (-15, 15)
# and radius 30 at half frame 126, material 0 (which a script can only say as
# -100), gloss and exposure 128, ambience 16, white ambient colour; no image
# width, so that the plug-in keeps the one it measures.
printf '%s\n' '{"LghS": [{"Clr ": {"Rd  ": 255, "Grn ": 255, "Bl  ": 0}, "On  ": true, "Fcs ": 0, "Intn": 98,
  "LghT": "LghS", "Pstn": [50, 50], "Vct0": [61.904761904761905, 61.904761904761905],
  "Vct1": [44.04761904761905, 55.95238095238095], "Rds ": 11.904761904761905}],
  "CrnL": 1, "Glos": 0, "Mtrl": -100, "Exps": 0, "AmbB": 11, "AmbC": {"Rd  ": 255, "Grn ": 255, "Bl  ": 255}}' \
    >"$work/default-style.json"
check "native: the default style as a script" 0 native filter "$work/sample.png" "$work/default-script.png" \
    --script "$work/default-style.json"
same "a style runs as its script" "$work/default-script.png" "$work/style-native.png"

# --- Interruption: Ctrl+C (SIGINT natively, the console's Ctrl+C event under
# Wine) while the plug-in lights a large image ends the run with status 1 and
# writes nothing. The host must be this shell's own child to get the signal.
"$image_check" tile "$work/sample.png" "$work/large.png" 6
"$image_check" tile "$work/relief.png" "$work/large-relief.png" 6
win32_direct() { # the Win32 host as this (sub)shell's process, in bin/zerafin's Wine setting
    if [ -z "$win32_exe" ]; then source "$root/scripts/lib.sh"; wine_environment; fi
    exec wine "$win32_dist/zerafin.exe" "$@"
}
native_direct() { exec "$native_build/zerafin" "$@"; }
interrupt() { # interrupt BUILD
    local name="$1: interrupt" status=0 pid
    rm -f "$work/interrupted.png" "$work/interrupted.json" "$work/interrupt-err.txt"
    ("$1_direct" filter "$work/large.png" "$work/interrupted.png" --script "$work/relief.json" --threads 1 \
        --progress --channel "Relief=$work/large-relief.png" --record "$work/interrupted.json") \
        2>"$work/interrupt-err.txt" &
    pid=$!
    for _ in $(seq 200); do # until the first tile is reported, at most 10 s
        grep -q '%' "$work/interrupt-err.txt" 2>/dev/null && break
        sleep 0.05
    done
    kill -INT "$pid"
    wait "$pid" || status=$?
    if [ "$status" -eq 1 ]; then pass; else fail "$name: status $status, wanted 1"; fi
    says "$name: says so" "cancelled; nothing was written" "$work/interrupt-err.txt"
    absent "$name: writes nothing" "$work/interrupted.png" "$work/interrupted.json"
}
interrupt native
if [ -n "${DISPLAY:-}" ] || [ -n "$win32_exe" ]; then
    interrupt win32
else
    echo "cli: no X display, the Win32 interruption is not checked" >&2
fi

echo "cli: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
