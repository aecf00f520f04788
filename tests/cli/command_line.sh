# Sourced by run_cli_tests.sh: the command line catches the user's mistakes.
# Scripts are checked before they run, options and names come with
# suggestions, refused files say why, photographs stay upright with their
# colour profile, and a batch's progress names each image.
cl="$work/command-line"
mkdir -p "$cl/out"

# --- Scripts that the plug-in would read without a word are refused, each
# mistake at its place; --no-check keeps the plug-in's reading.
lights18=$(for _ in $(seq 18); do printf '%s, ' "$light"; done)
printf '{"Glss": 20, "LghS": [%s{"Radi": 3, "LghT": "Omni", "Clr ": {"Rd  ": 300, "Grn ": 0, "Bl  ": 0}}], "Glos": 250}\n' \
    "$lights18" >"$cl/mistakes.json"
printf '{"LghS": [%s], "Glos": 250}\n' "$light" >"$cl/gloss250.json"
printf '{"LghS": [%s], "Glos": 100}\n' "$light" >"$cl/gloss100.json"
for build in native win32; do
    check "$build: a script with mistakes" 2 $build filter "$work/sample.png" "$cl/e1.png" --script "$cl/mistakes.json"
    for mistake in 'has the unknown key "Glss"; did you mean "Glos"?' \
        '"LghS"\[18\]: has the unknown key "Radi"; did you mean "Rds "?' \
        '"LghS"\[18\]."LghT": "Omni" is not one of' '"LghS"\[18\]."Clr "."Rd  ": 300 is above 255' \
        '"LghS": has more than 16 items' '"Glos": 250 is above 100' 'give --no-check'; do
        says "$build: a script with mistakes: $mistake" "$mistake" "$work/err.txt"
    done
    check "$build: a relief channel the document lacks" 2 $build filter "$work/sample.png" "$cl/e2.png" \
        --script "$work/relief.json"
    says "$build: the missing channel is named" 'names the channel "Relief", which the document does not have' "$work/err.txt"
    says "$build: the document's channels are listed" 'channels are 1 "Rouge", 2 "Vert", 3 "Bleu"' "$work/err.txt"
    check "$build: a relief channel in another case" 2 $build filter "$work/sample.png" "$cl/e3.png" \
        --script "$work/relief.json" --channel "relief=$work/relief.png"
    says "$build: a relief channel in another case" 'did you mean "relief"?' "$work/err.txt"
    check "$build: a channel given twice" 2 $build filter "$work/sample.png" "$cl/e4.png" --script "$work/relief.json" \
        --channel "Relief=$work/relief.png" --channel "Relief=$work/sample.png"
    says "$build: a channel given twice" "the channel 'Relief' is given twice" "$work/err.txt"
    absent "$build: refused scripts write nothing" "$cl"/e[1-4].png
    check "$build: --no-check" 0 $build filter "$work/sample.png" "$cl/no-check-$build.png" \
        --script "$cl/gloss250.json" --no-check
    check "$build: zerafin check" 2 $build check "$work/plain.json" "$cl/mistakes.json"
    says "$build: zerafin check names the good script" "plain.json: conforms" "$work/out.txt"
    says "$build: zerafin check names the mistakes" "mistakes.json.*did you mean \"Glos\"" "$work/err.txt"
done
check "native: gloss 100" 0 native filter "$work/sample.png" "$cl/gloss100.png" --script "$cl/gloss100.json"
same "--no-check lets the plug-in bring gloss 250 to 100" "$cl/gloss100.png" "$cl/no-check-native.png"
same "--no-check: the same in both builds" "$cl/no-check-native.png" "$cl/no-check-win32.png"

# --- Options: "--" ends them, -h is help only where an option stands, and
# mistakes show the command's own usage with a suggestion.
cp "$work/small.png" "$cl/-h"
cp "$work/small.png" "$cl/--x.png"
in_cl() { (cd "$cl" && "$@"); } # in_cl COMMAND...: run in the folder, for names starting with -
for build in native win32; do
    rm -f "$cl/out/"*
    check "$build: files named -h and --x.png" 0 in_cl $build filter --style "Par défaut" --out-dir out -- -h --x.png
    [ -s "$cl/out/-h.png" ] && [ -s "$cl/out/--x.png" ] && pass || fail "$build: the files after -- were not lit"
    check "$build: --style -h is a style's name" 2 $build filter "$work/sample.png" "$cl/e5.png" --style -h
    says "$build: --style -h is a style's name" "no style named '-h'" "$work/err.txt"
    check "$build: a misspelt option" 2 $build filter "$work/sample.png" "$cl/e6.png" --styl "Par défaut"
    says "$build: a misspelt option" "unknown option '--styl'; did you mean \"--style\"?" "$work/err.txt"
    says "$build: the command's own usage" "^usage: zerafin filter" "$work/err.txt"
    says "$build: the command's own options" "^  --no-check" "$work/err.txt"
    check "$build: a style name without its accent" 2 $build filter "$work/sample.png" "$cl/e7.png" --style "Par defaut"
    says "$build: a style name without its accent" 'did you mean "Par défaut"?' "$work/err.txt"
done
check "native: a style name in lower case" 2 native filter "$work/sample.png" "$cl/e8.png" --style bougie
says "native: a style name in lower case" 'did you mean "Bougie"?' "$work/err.txt"
check "native: a misspelt command" 2 native fliter
says "native: a misspelt command" 'did you mean "filter"?' "$work/err.txt"
check "native: -h among a command's options" 0 native filter "$work/sample.png" -h
says "native: -h among a command's options" "^usage: zerafin filter" "$work/out.txt"
check "native: --plugin is for the Windows host" 2 native info --plugin "$work/x.9zf"
says "native: --plugin is for the Windows host" "native host has the plug-in linked in" "$work/err.txt"
absent "options: refused runs write nothing" "$cl"/e[5-8].png

# --- Precise messages.
check "native: a missing output folder" 2 native filter "$work/sample.png" --out-dir "$cl/none" --style "Par défaut"
says "native: a missing output folder" "'$cl/none' does not exist" "$work/err.txt"
check "native: an empty output folder name" 2 native filter "$work/sample.png" --out-dir "" --style "Par défaut"
says "native: an empty output folder name" "--out-dir needs a folder's name" "$work/err.txt"
check "native: a batch with nothing to apply" 2 native filter "$work/sample.png" "$work/small.png" --out-dir "$cl/out"
if [ "$(grep -c . "$work/err.txt")" -eq 1 ] && grep -q "nothing to apply: a batch needs" "$work/err.txt"; then
    pass; else fail "a batch with nothing to apply: not one error"; fi
check "native: --quality for a PNG" 0 native filter "$work/sample.png" "$cl/q.png" --quality 50 --style "Par défaut"
says "native: --quality for a PNG" "--quality is for JPEG" "$work/err.txt"
# Files this host does not read, each made from a readable one by one byte.
patched() { # patched FROM TO OFFSET BYTES: a copy with bytes replaced
    cp "$1" "$2" && printf "$4" | dd of="$2" bs=1 seek="$3" conv=notrunc 2>/dev/null
}
frame=$(LC_ALL=C grep -obUaP '\xFF\xC0' "$work/sample.jpg" | head -1 | cut -d: -f1)
printf 'II*\0rest of a TIFF file' >"$cl/photo.tif"
patched "$work/sample.jpg" "$cl/12-bit.jpg" $((frame + 4)) '\014'
patched "$work/sample.jpg" "$cl/lossless.jpg" $((frame + 1)) '\303'
patched "$work/sample.bmp" "$cl/rle.bmp" 30 '\001'
patched "$work/sample.png" "$cl/wide.png" 16 '\000\000\234\100'
for refused in "photo.tif:a TIFF file" "12-bit.jpg:a JPEG of 12 bits per sample" \
    "lossless.jpg:a lossless JPEG" "rle.bmp:a run-length (RLE) compressed BMP"; do
    check "native: ${refused%%:*} is refused" 2 native filter "$cl/${refused%%:*}" "$cl/e9.png" --style "Par défaut"
    says "native: ${refused%%:*} says why" "it is ${refused#*:}; this host reads PNG, JPEG" "$work/err.txt"
done
check "native: a PNG beyond the size" 2 native filter "$cl/wide.png" "$cl/e9.png" --style "Par défaut"
says "native: a PNG beyond the size" "40000 x 400 pixels, beyond this host's 30000 on a side" "$work/err.txt"
absent "refused images write nothing" "$cl/e9.png"

# --- A photograph as a phone stores it: turned a quarter, EXIF orientation 6
# and an ICC profile. It is lit upright, as the sample itself is, and the
# outputs keep its profile with the orientation set upright.
"$image_check" phone "$work/sample.png" "$cl/phone.jpg"
"$image_check" metadata "$cl/phone.jpg" >"$cl/phone.txt"
says "the phone's photograph lies on its side" "^orientation 6" "$cl/phone.txt"
for build in native win32; do
    for format in png jpg; do
        output="$cl/phone-$build.$format"
        check "$build: a phone's photograph into $format" 0 $build filter "$cl/phone.jpg" "$output" --script "$work/plain.json"
        check "$build: the phone's photograph is lit upright ($format)" 0 "$image_check" match "$work/plain-native.png" "$output" 2
        "$image_check" metadata "$output" >"$cl/out.txt"
        says "$build: $format is upright" "^orientation 1" "$cl/out.txt"
        same "$build: $format keeps the profile" <(grep profile "$cl/phone.txt") <(grep profile "$cl/out.txt")
    done
done

# --- A batch's progress in a log names each image and ends with a summary.
for build in native win32; do
    check "$build: a batch's progress" 2 $build filter "$work/sample.png" "$work/broken.png" "$work/small.png" \
        --out-dir "$cl/out" --style "Par défaut" --progress
    says "$build: each image is named" "^zerafin: image 2 of 3: '$work/broken.png'" "$work/err.txt"
    says "$build: the batch ends with a summary" "^zerafin: batch: 2 lit, 1 skipped, 0 failed in [0-9]" "$work/err.txt"
done

# --- Ctrl+C while the result is written (after the lighting, while a large
# JPEG is encoded): status 1, nothing written. As for the interruption above,
# the Win32 host needs a display to get the console's Ctrl+C event.
interrupted_write() { # interrupted_write BUILD
    local status=0
    rm -f "$cl/written.jpg" "$cl/written.json"
    interrupted "$1" "$cl/write-err.txt" '^lighting done' filter "$work/large.png" "$cl/written.jpg" \
        --script "$work/plain.json" --quality 100 --progress --record "$cl/written.json" || status=$?
    if [ "$status" -eq 1 ]; then pass; else fail "$1: an interrupted write: status $status, wanted 1"; fi
    says "$1: an interrupted write says so" "cancelled; nothing was written" "$cl/write-err.txt"
    absent "$1: an interrupted write writes nothing" "$cl/written.jpg" "$cl/written.json"
}
interrupted_write native
if [ -n "${DISPLAY:-}" ] || [ -n "$win32_exe" ]; then interrupted_write win32; fi
