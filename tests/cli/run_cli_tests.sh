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
root=$(cd "$(dirname "$0")/../.." && pwd)
source "$root/scripts/lib.sh"
stop_at_any_failure
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

recordings=() # every script a successful run recorded, checked against the schema at the end
check() { # check NAME EXPECTED_STATUS COMMAND...: the status, stdout in out.txt, stderr in err.txt
    local name=$1 expected=$2; shift 2
    local status=0 argument previous=
    "$@" >"$work/out.txt" 2>"$work/err.txt" || status=$?
    for argument in "$@"; do
        [ "$previous" = --record ] && [ "$status" -eq 0 ] && recordings+=("$argument")
        previous=$argument
    done
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
says "native: progress ends with the time taken" "^lighting done in " "$work/err.txt"
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

# --- Help, version, the styles' order and the output formats.
line_of() { grep -n -x -- "$1" "$work/out.txt" | cut -d: -f1; } # line_of TEXT: its line in out.txt
for build in native win32; do
    check "$build: --help" 0 $build --help
    says "$build: --help lists the commands" "zerafin filter (IN OUT | IN... --out-dir DIR)" "$work/out.txt"
    check "$build: help styles" 0 $build help styles
    says "$build: help styles" "^usage: zerafin styles" "$work/out.txt"
    check "$build: filter -h" 0 $build filter -h
    says "$build: filter -h lists --quality" "^  --quality N " "$work/out.txt"
    check "$build: --version" 0 $build --version
    says "$build: the host's version" "^zerafin [0-9]" "$work/out.txt"
    says "$build: the module's version" "^module 5\.0\." "$work/out.txt"
    check "$build: styles in reading order" 0 $build styles
    if [ "$(line_of "Métal repoussé")" -lt "$(line_of "Néons rose et cyan")" ] &&
        [ "$(line_of "Néons rose et cyan")" -lt "$(line_of "Nuit bleue")" ]; then pass; else
        fail "$build: styles are not in reading order"; fi
    check "$build: an unknown output format" 2 $build filter "$work/sample.png" "$work/f.gif" --script "$work/plain.json"
    says "$build: an unknown output format" "must end in .png, .jpg, .jpeg, .bmp or .tga" "$work/err.txt"
    absent "$build: an unknown output format writes nothing" "$work/f.gif"
    check "$build: progress in a log" 0 $build filter "$work/sample.png" "$work/f-progress.png" --progress --script "$work/plain.json"
    # (the Win32 host ends its lines with CR LF, as Windows text files do)
    if sed 's/\r$//' "$work/err.txt" | grep -q $'\r' || [ "$(wc -l <"$work/err.txt")" -ne 2 ]; then
        fail "$build: progress in a log is not one line at the start and one at the end"; else pass; fi
    check "$build: TGA with alpha" 0 $build filter "$work/sample-alpha.png" "$work/f-$build.tga" --script "$work/plain.json"
done
for command in info about; do check "native: $command --help" 0 native $command --help; done
check "native: bad quality" 2 native filter "$work/sample.png" "$work/f.jpg" --quality 0 --script "$work/plain.json"
# Every format keeps the image, and its alpha where it can; JPEG within a tolerance.
check "native: PNG with alpha" 0 native filter "$work/sample-alpha.png" "$work/f.png" --script "$work/plain.json"
check "native: BMP with alpha" 0 native filter "$work/sample-alpha.png" "$work/f.BMP" --script "$work/plain.json"
for name in f.BMP f-native.tga f-win32.tga; do
    check "$name keeps the image and its alpha" 0 "$image_check" match "$work/f.png" "$work/$name" 0
done
check "native: JPEG" 0 native filter "$work/sample.png" "$work/f.jpeg" --script "$work/plain.json"
check "native: PNG" 0 native filter "$work/sample.png" "$work/f-plain.png" --script "$work/plain.json"
check "JPEG keeps the image within a tolerance" 0 "$image_check" match "$work/f-plain.png" "$work/f.jpeg" 2
check "native: JPEG at quality 30" 0 native filter "$work/sample.png" "$work/f30.jpg" --quality 30 --script "$work/plain.json"
[ "$(stat -c %s "$work/f30.jpg")" -lt "$(stat -c %s "$work/f.jpeg")" ] && pass || fail "--quality 30 is not smaller"
check "native: JPEG from an image with alpha" 0 native filter "$work/sample-alpha.png" "$work/f-alpha.jpg" --script "$work/plain.json"
says "JPEG says it drops the alpha" "without the image's alpha" "$work/err.txt"

# 16-bit PNG files (colour with alpha, colour, grey) light as their 8-bit roundings.
for image in sample-alpha sample; do "$image_check" deepen "$work/$image.png" "$work/deep-$image.png"; done
"$image_check" deepen "$work/relief.png" "$work/deep-relief.png" grey
for image in sample-alpha sample relief; do
    check "native: 8-bit $image" 0 native filter "$work/$image.png" "$work/lit8-$image.png" "${relief[@]}" --script "$work/relief.json"
done
for image in sample relief; do
    check "native: 16-bit $image" 0 native filter "$work/deep-$image.png" "$work/lit16-$image.png" "${relief[@]}" --script "$work/relief.json"
    same "native: 16-bit $image lights as 8" "$work/lit8-$image.png" "$work/lit16-$image.png"
done
for build in native win32; do
    check "$build: 16-bit image and channel" 0 $build filter "$work/deep-sample-alpha.png" "$work/lit16-$build.png" \
        --channel "Relief=$work/deep-relief.png" --script "$work/relief.json"
    says "$build: 16 bits are noted" "deep-relief.png' has 16 bits per sample; it is read rounded to 8 bits" "$work/err.txt"
    same "$build: 16 bits light as 8" "$work/lit8-sample-alpha.png" "$work/lit16-$build.png"
done

# --- Batches: each image a run of its own into the folder, under its name; a
# bad image is reported and skipped, the others are written, and the status
# says that one failed. Two images that would be written to one file are
# refused before anything runs.
mkdir -p "$work/batch" "$work/batch2"
check "native: a batch with a bad image" 2 native filter "$work/sample.png" "$work/broken.png" \
    "$work/small.png" --out-dir "$work/batch" --script "$work/plain.json"
says "native: the bad image is named" "'$work/broken.png' was skipped" "$work/err.txt"
same "a batch lights each image as a single run does" "$work/plain-native.png" "$work/batch/sample.png"
absent "native: the bad image writes nothing" "$work/batch/broken.png"
[ -s "$work/batch/small.png" ] && pass || fail "native: the image after the bad one is not written"
check "native: a batch into one file" 2 native filter "$work/sample.png" "$work/sample.bmp" \
    --out-dir "$work/batch2" --script "$work/plain.json"
says "native: a batch into one file" "would both be written to" "$work/err.txt"
absent "native: a refused batch writes nothing" "$work/batch2/sample.png"
check "native: a batch into a missing folder" 2 native filter "$work/sample.png" --out-dir "$work/none" \
    --script "$work/plain.json"
check "native: a batch with --record" 2 native filter "$work/sample.png" --out-dir "$work/batch2" \
    --script "$work/plain.json" --record "$work/batch2/r.json"
check "win32: a batch as BMP" 2 win32 filter "$work/broken.png" "$work/sample.png" --out-dir "$work/batch2" \
    --format bmp --script "$work/plain.json"
check "win32: the batch's BMP" 0 "$image_check" match "$work/plain-native.png" "$work/batch2/sample.bmp" 0

# --- The style gallery: every style lit on a reduced copy of the image, one
# labelled cell each, the same sheet in both builds. The private folders hold
# one and two styles, which give the size of a cell and the step between cells.
png_size() { od -An -tu1 -j16 -N8 "$1" | awk '{print $3 * 256 + $4, $7 * 256 + $8}'; } # WIDTH HEIGHT
for build in native win32; do
    check "$build: the gallery" 0 $build styles --gallery "$work/sample.png" "$work/gallery-$build.png"
done
same "the gallery is the same in both builds" "$work/gallery-native.png" "$work/gallery-win32.png"
mkdir -p "$work/gallery1/Lighting Styles" "$work/gallery2/Lighting Styles"
cp "$native_build/Lighting Styles/Par défaut" "$work/gallery1/Lighting Styles/"
cp "$native_build/Lighting Styles/"{"Par défaut","Nuit bleue"} "$work/gallery2/Lighting Styles/"
for count in 1 2; do
    cp "$native_build/zerafin" "$work/gallery$count/"
    check "native: a gallery of $count" 0 "$work/gallery$count/zerafin" styles --gallery "$work/sample.png" \
        "$work/gallery$count.png"
done
read -r one_width one_height < <(png_size "$work/gallery1.png")
read -r two_width two_height < <(png_size "$work/gallery2.png")
read -r all_width all_height < <(png_size "$work/gallery-native.png")
step=$((two_width - one_width)) margin=$((one_width - (two_width - one_width)))
columns=$(((all_width - one_width) / step + 1)) rows=$(((all_height - one_height) / (one_height - margin) + 1))
styles=$(native styles | wc -l)
if [ "$two_height" -eq "$one_height" ] && [ $((columns * rows)) -ge "$styles" ] &&
    [ $((columns * (rows - 1))) -lt "$styles" ]; then pass; else
    fail "the gallery of $styles styles has $columns x $rows cells"; fi
check "native: a gallery without its font" 2 native styles --gallery "$work/sample.png" "$work/g.png" \
    --font "$work/no-font.ttf"
says "native: a gallery without its font" "install fonts-dejavu-core" "$work/err.txt"
absent "native: a gallery without its font writes nothing" "$work/g.png"

# --- Hostile inputs and failed runs. Every one ends with a clear message and
# its exit status, and no file that existed before a failed run changes.
hostile="$work/hostile"
mkdir -p "$hostile"
no_temporaries() { # no_temporaries NAME DIR: no temporary output is left behind
    if ls -a "$2" | grep -q '^\.zerafin-'; then fail "$1: temporary files left in $2"; else pass; fi
}
keep() { cp "$1" "$1.before"; } # keep FILE: remember it, for unchanged
unchanged() { same "$1: $(basename "$2") unchanged" "$2.before" "$2"; } # unchanged NAME FILE

# Images. A PNG chunk whose length runs past the file; BMPs of no width, of
# no size, and of the lowest height; JPEG Huffman counts above 256; a header
# promising 30000 x 11900 pixels; a device and a folder.
png_header='\x89PNG\r\n\x1a\n\x00\x00\x00\x0dIHDR'
{ printf "$png_header"'\x00\x00\x00\x10\x00\x00\x00\x0c\x08\x02\x00\x00\x00\x00\x00\x00\x00'
  printf '\xff\xff\xff\xffIDAT'; head -c 96 /dev/zero; } >"$hostile/chunk-overflow.png"
bmp() { # bmp WIDTH HEIGHT: a 54-byte 24-bit bitmap header (little-endian fields as \x escapes)
    printf 'BM\x36\x00\x00\x00\x00\x00\x00\x00\x36\x00\x00\x00\x28\x00\x00\x00'"$1$2"'\x01\x00\x18\x00'
    head -c 24 /dev/zero
}
bmp '\x00\x00\x00\x00' '\x0c\x00\x00\x00' >"$hostile/no-width.bmp"
bmp '\x00\x00\x00\x00' '\x00\x00\x00\x00' >"$hostile/no-size.bmp"
bmp '\x04\x00\x00\x00' '\x00\x00\x00\x80' >"$hostile/lowest-height.bmp"
{ printf '\xff\xd8\xff\xc4\x01\x23\x00'; for _ in $(seq 16); do printf '\x11'; done
  head -c 272 /dev/zero; printf '\xff\xd9'; } >"$hostile/huffman.jpg"
{ printf "$png_header"'\x00\x00\x75\x30\x00\x00\x2e\x7c\x08\x02\x00\x00\x00\x00\x00\x00\x00'
  printf '\x00\x00\x00\x00IEND\xaeB`\x82'; } >"$hostile/bomb.png"
for case in "chunk-overflow.png:runs past the end" "no-width.bmp:has no pixels (0 x 12)" \
    "no-size.bmp:has no pixels (0 x 0)" "lowest-height.bmp:height is out of range" \
    "huffman.jpg:Huffman table is damaged" "bomb.png:30000 x 11900 pixels; this host reads at most"; do
    file=${case%%:*} message=${case#*:}
    check "native: image $file" 2 native filter "$hostile/$file" "$hostile/e.png" --script "$work/plain.json"
    says "native: image $file" "$message" "$work/err.txt"
done
# Found by the image fuzzer: a scan using a Huffman table the file never defined.
check "native: a scan with an undefined table" 2 native filter \
    "$root/tests/fuzz/image/crash-c6a219c29c912d4a0cf2cce4c45ba8efeb99df0c" "$hostile/e.png" --script "$work/plain.json"
says "native: a scan with an undefined table" "does not define" "$work/err.txt"
check "native: a damaged channel image" 2 native filter "$work/sample.png" "$hostile/e.png" \
    --channel "Relief=$hostile/chunk-overflow.png" --script "$work/plain.json"
says "native: a damaged channel image" "runs past the end" "$work/err.txt"
check "native: a device as the image" 2 native filter /dev/zero "$hostile/e.png" --script "$work/plain.json"
says "native: a device as the image" "not a regular file" "$work/err.txt"
check "native: a folder as the image" 2 native filter "$hostile" "$hostile/e.png" --script "$work/plain.json"
for file in chunk-overflow.png no-size.bmp; do
    check "win32: image $file" 2 win32 filter "$hostile/$file" "$hostile/e.png" --script "$work/plain.json"
done
absent "hostile images write nothing" "$hostile/e.png"
# Running out of memory anywhere in the host is said plainly, with status 3
# (the sanitizers' allocator does not live under an address space limit).
if [ "$(basename "$native_build")" = native ]; then
    "$image_check" tile "$work/sample.png" "$hostile/huge.png" 12
    check "native: out of memory" 3 bash -c 'ulimit -v 200000; exec "$0" "$@"' "$native_build/zerafin" \
        filter "$hostile/huge.png" "$hostile/e.png" --script "$work/plain.json" --threads 1
    says "native: out of memory" "not enough memory; nothing was written" "$work/err.txt"
    rm -f "$hostile/huge.png"
fi
# An empty image data chunk is harmless: the image reads as without it.
{ head -c 33 "$work/sample.png"; printf '\x00\x00\x00\x00IDAT\x35\xaf\x06\x1e'
  tail -c +34 "$work/sample.png"; } >"$hostile/empty-idat.png"
check "native: an empty image data chunk" 0 native filter "$hostile/empty-idat.png" "$hostile/empty-idat-out.png" \
    --script "$work/plain.json"
same "an empty image data chunk changes nothing" "$work/plain-native.png" "$hostile/empty-idat-out.png"

# Scripts: nesting far beyond any script, a device, a file beyond the cap, a
# NUL in a key, bytes that are not UTF-8.
{ head -c 100000 /dev/zero | tr '\0' '['; head -c 100000 /dev/zero | tr '\0' ']'; } >"$hostile/deep.json"
{ printf '{"Glos": '; head -c 20000 /dev/zero | tr '\0' '['; head -c 20000 /dev/zero | tr '\0' ']'
  printf '}'; } >"$hostile/deep-key.json"
head -c 1048577 /dev/zero | tr '\0' ' ' >"$hostile/huge.json"
printf '{"G\\u0000": 1}' >"$hostile/nul-key.json"
printf '{"Glos": "\xff\xfe"}' >"$hostile/not-utf8.json"
for case in "deep.json:nested more than 64 deep" "deep-key.json:nested more than 64 deep" \
    "huge.json:larger than 1048576 bytes" 'nul-key.json:"G\\x00" is not a four-character key' \
    'not-utf8.json:\\xFF'; do
    file=${case%%:*} message=${case#*:}
    check "native: script $file" 2 native filter "$work/sample.png" "$hostile/e.png" --script "$hostile/$file"
    says "native: script $file" "$message" "$work/err.txt"
done
if iconv -f UTF-8 -t UTF-8 "$work/err.txt" >/dev/null 2>&1; then pass; else fail "messages are UTF-8"; fi
check "native: a device as the script" 2 native filter "$work/sample.png" "$hostile/e.png" --script /dev/zero
says "native: a device as the script" "not a regular file" "$work/err.txt"
check "win32: a deeply nested script" 2 win32 filter "$work/sample.png" "$hostile/e.png" --script "$hostile/deep-key.json"
says "win32: a deeply nested script" "nested more than 64 deep" "$work/err.txt"
absent "hostile scripts write nothing" "$hostile/e.png"
# A script that leaves out "Mtrl" (position 0, recorded as -100) and goes
# below the scale (which only the plug-in's own reading takes) replays to the
# same image and recording.
printf '{"LghS": [%s], "Glos": -150, "Exps": -100}\n' "$light" >"$hostile/low.json"
check "native: low settings" 0 native filter "$work/sample.png" "$hostile/low1.png" --script "$hostile/low.json" \
    --no-check --record "$hostile/low1.json"
check "native: low settings replayed" 0 native filter "$work/sample.png" "$hostile/low2.png" \
    --script "$hostile/low1.json" --record "$hostile/low2.json"
same "low settings: the replay lights the same image" "$hostile/low1.png" "$hostile/low2.png"
same "low settings: the replay records the same script" "$hostile/low1.json" "$hostile/low2.json"

# Parameter files: truncated, empty, foreign, or a device are refused and kept;
# a stored block alone cannot be recorded as settings.
check "native: a kept parameter file" 0 native filter "$work/sample.png" "$hostile/p.png" \
    --script "$work/plain.json" --params "$hostile/good.params"
head -c 100 "$hostile/good.params" >"$hostile/truncated.params"
: >"$hostile/empty.params"
cp "$work/sample.png" "$hostile/foreign.params"
for case in truncated:truncated empty:"not a parameter file" foreign:"not a parameter file"; do
    name=${case%%:*} message=${case#*:}
    keep "$hostile/$name.params"
    check "native: $name parameter file" 2 native filter "$work/sample.png" "$hostile/e.png" \
        --params "$hostile/$name.params"
    says "native: $name parameter file" "$message" "$work/err.txt"
    unchanged "native: $name parameter file" "$hostile/$name.params"
done
check "win32: a truncated parameter file" 2 win32 filter "$work/sample.png" "$hostile/e.png" \
    --params "$hostile/truncated.params"
check "native: a device as the parameter file" 2 native filter "$work/sample.png" "$hostile/e.png" --params /dev/zero
check "native: recording a stored block" 2 native filter "$work/sample.png" "$hostile/e.png" \
    --params "$hostile/good.params" --record "$hostile/e.json"
says "native: recording a stored block" "needs the settings themselves" "$work/err.txt"
absent "refused parameter files write nothing" "$hostile/e.png" "$hostile/e.json"

# Outputs: a failing write, a destination that cannot be written, and paths
# naming one file leave every existing file as it was.
out="$hostile/out"
mkdir -p "$out"
check "native: outputs" 0 native filter "$work/sample.png" "$out/image.png" --script "$work/plain.json" \
    --params "$out/kept.params" --record "$out/kept.json"
for file in image.png kept.params kept.json; do keep "$out/$file"; done
unchanged_outputs() { for file in image.png kept.params kept.json; do unchanged "$1" "$out/$file"; done; }
check "native: a write beyond the file size limit" 2 bash -c 'ulimit -f 100; exec "$0" "$@"' \
    "$native_build/zerafin" filter "$work/sample.png" "$out/image.png" --script "$work/relief.json" \
    "${relief[@]}" --params "$out/kept.params" --record "$out/kept.json"
says "native: a write beyond the file size limit" "nothing was written" "$work/err.txt"
unchanged_outputs "native: a write beyond the file size limit"
for build in native win32; do
    check "$build: an unwritable --record" 2 $build filter "$work/sample.png" "$out/image.png" \
        --script "$work/relief.json" "${relief[@]}" --params "$out/kept.params" --record "$out/no/such.json"
    says "$build: an unwritable --record" "cannot write" "$work/err.txt"
    unchanged_outputs "$build: an unwritable --record"
done
ln -f "$out/kept.params" "$out/linked.params"
ln -sf image.png "$out/symlink.png"
keep "$work/sample.png"
for case in "--params:$work/sample.png" "--record:$out/./image.png" "--script:$out/symlink.png" \
    "--record:$out/linked.params"; do
    option=${case%%:*} path=${case#*:}
    check "native: $option naming another file" 2 native filter "$work/sample.png" "$out/image.png" \
        --script "$work/plain.json" --params "$out/kept.params" "$option" "$path"
done
ln -f "$out/image.png" "$out/linked.png"
check "native: a hard link to the output" 2 native filter "$work/sample.png" "$out/linked.png" \
    --script "$work/plain.json" --params "$out/image.png"
says "native: a hard link to the output" "name the same file" "$work/err.txt"
check "win32: --params naming the input" 2 win32 filter "$work/sample.png" "$out/image.png" \
    --script "$work/plain.json" --params "$work/sample.png"
check "win32: a hard link to the output" 2 win32 filter "$work/sample.png" "$out/linked.png" \
    --script "$work/plain.json" --params "$out/image.png"
says "win32: a hard link to the output" "name the same file" "$work/err.txt"
unchanged "paths naming one file" "$work/sample.png"
unchanged_outputs "paths naming one file"
cp "$out/image.png" "$out/in-place.png" && keep "$out/in-place.png"
check "native: an image lit in place" 0 native filter "$out/in-place.png" "$out/in-place.png" \
    --script "$work/relief.json" "${relief[@]}"
differ "native: an image lit in place" "$out/in-place.png.before" "$out/in-place.png"
chmod a-w "$out/image.png"
check "native: a write-protected output" 2 native filter "$work/sample.png" "$out/image.png" --script "$work/plain.json"
says "native: a write-protected output" "write-protected" "$work/err.txt"
chmod u+w "$out/image.png"
mkdir -p "$out/folder.png"
check "native: a folder as the output" 2 native filter "$work/sample.png" "$out/folder.png" --script "$work/plain.json"
says "native: a folder as the output" "not a regular file" "$work/err.txt"
unchanged_outputs "refused outputs"
no_temporaries "failed runs" "$out"

# Styles, with the host in a folder of its own: only names that load
# themselves are listed, and a name is never cut to apply another style.
private="$work/private"
mkdir -p "$private/Lighting Styles"
cp "$native_build/zerafin" "$private/zerafin"
cp "$native_build/Lighting Styles/Par défaut" "$private/Lighting Styles/"
long_name="Par défaut mais avec un nom bien trop long"
for name in "$long_name" "Fin." "CON"; do cp "$private/Lighting Styles/Par défaut" "$private/Lighting Styles/$name"; done
head -c 6 "$private/Lighting Styles/Par défaut" >"$private/Lighting Styles/Entête"
check "native: styles of odd names" 0 "$private/zerafin" styles
if [ "$(cat "$work/out.txt")" = "Par défaut" ]; then pass; else fail "styles lists only names that load: $(cat "$work/out.txt")"; fi
check "native: a style name that would be cut" 2 "$private/zerafin" filter "$work/sample.png" "$hostile/e.png" \
    --style "$long_name"
says "native: a style name that would be cut" "no style named" "$work/err.txt"
# A host whose path does not fit the system's path buffer has no style folder:
# it never falls back to the current folder's.
deep="$work"
while [ ${#deep} -lt 300 ]; do deep="$deep/a-rather-long-folder-name"; done
mkdir -p "$deep" && cp "$native_build/zerafin" "$deep/zerafin"
check "native: a host path beyond the buffer" 2 bash -c 'cd "$0" && exec "$1" styles' "$private" "$deep/zerafin"
says "native: a host path beyond the buffer" "style folder cannot be found" "$work/err.txt"
check "native: a style from such a host" 2 bash -c 'cd "$0" && exec "$1" filter "$2" "$3" --style "Par défaut"' \
    "$private" "$deep/zerafin" "$work/sample.png" "$hostile/e.png"
absent "odd styles write nothing" "$hostile/e.png"

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
interrupted() { # interrupted BUILD ERR PATTERN ARGUMENTS...: the host's status after Ctrl+C,
    # pressed once its stderr (into ERR) has a line matching PATTERN, at most 20 s after its start
    local build=$1 err=$2 pattern=$3 status=0 pid
    shift 3
    ("${build}_direct" "$@") 2>"$err" &
    pid=$!
    for _ in $(seq 1000); do
        grep -q "$pattern" "$err" 2>/dev/null && break
        sleep 0.02
    done
    kill -INT "$pid"
    wait "$pid" || status=$?
    return "$status"
}
interrupt() { # interrupt BUILD
    local name="$1: interrupt" status=0
    rm -f "$work/interrupted.png" "$work/interrupted.json" "$work/interrupt-err.txt"
    interrupted "$1" "$work/interrupt-err.txt" '^lighting' filter "$work/large.png" "$work/interrupted.png" \
        --script "$work/relief.json" --threads 1 --progress --channel "Relief=$work/large-relief.png" \
        --record "$work/interrupted.json" || status=$?
    if [ "$status" -eq 1 ]; then pass; else fail "$name: status $status, wanted 1"; fi
    says "$name: says so" "cancelled; nothing was written" "$work/interrupt-err.txt"
    says "$name: the progress says where it stopped" "^lighting stopped at" "$work/interrupt-err.txt"
    absent "$name: writes nothing" "$work/interrupted.png" "$work/interrupted.json"
}
interrupt native
if [ -n "${DISPLAY:-}" ] || [ -n "$win32_exe" ]; then
    interrupt win32
else
    echo "cli: no X display, the Win32 interruption is not checked" >&2
fi

source "$root/tests/cli/command_line.sh"
source "$root/tests/cli/dialog_sessions.sh"

# --- The script reference and its schema are what tools/script_docs writes
# now, and every shipped style's script, every recording made above and the
# demo's script conform to the schema.
script_docs="$native_build/tools/orvane_script_docs"
"$script_docs" reference | cmp -s - "$root/docs/scripting.md" && pass ||
    fail "docs/scripting.md is stale: write it again with orvane_script_docs reference"
"$script_docs" schema | cmp -s - "$root/docs/script.schema.json" && pass ||
    fail "docs/script.schema.json is stale: write it again with orvane_script_docs schema"
number=0
while read -r style; do
    number=$((number + 1))
    check "native: the style '$style' as a script" 0 native filter "$work/sample.png" "$work/s.png" \
        --style "$style" --record "$work/style-script-$number.json"
done < <(native styles)
check "every shipped style and recording conforms to the schema" 0 "$script_docs" validate \
    "$root/docs/script.schema.json" "$root/samples/demo.json" "${recordings[@]}"
[ "${#recordings[@]}" -gt "$number" ] && pass || fail "too few recordings: ${#recordings[@]}"

source "$root/tests/cli/script_brightness.sh"
source "$root/tests/cli/hardening.sh"
source "$root/tests/cli/batches.sh"

echo "cli: $passed passed, $failed failed"
[ "$failed" -eq 0 ] || exit 1 # (a plain test would be reported as a failing command)
