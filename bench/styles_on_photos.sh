#!/usr/bin/env bash
# Lights real photographs with every shipped style and tells how much of each
# picture a style burns out: per style the share of pixels with a channel at
# 255 ("clipped") and of pure white pixels, the median and the worst over the
# photographs. Also draws each photograph's style gallery.
#
# The photographs come from Debian packages: the script fetches the packages'
# files with apt-get download and unpacks them under build/photos (nothing is
# installed on the system). It uses the native build (scripts/build first).
#
#   bench/styles_on_photos.sh [--no-gallery] [STYLE...]
#
# Without STYLE names every style of the native build's style folder is lit.
# Results: build/styles-on-photos/ (the galleries, gallery-PHOTO.png).
source "$(dirname "$0")/../scripts/lib.sh"
set -euo pipefail

NATIVE="$BUILD_ROOT/native"
ZERAFIN="$NATIVE/zerafin"
CHECK="$NATIVE/tools/orvane_image_check"
RESULTS="$BUILD_ROOT/styles-on-photos"
for program in "$ZERAFIN" "$CHECK"; do
    [ -x "$program" ] || { echo "missing $program: run scripts/build first" >&2; exit 1; }
done

source "$(dirname "$0")/photos.sh"

# stats_of STYLE: lights every photograph with the style into a scratch
# folder and prints "clipped C white W PATH" per photograph.
stats_of() {
    local scratch="$RESULTS/scratch"
    rm -rf "$scratch"
    mkdir -p "$scratch"
    "$ZERAFIN" filter "${PHOTO_FILES[@]}" --out-dir "$scratch" --format bmp --style "$1" >/dev/null
    "$CHECK" clipped "$scratch"/*.bmp
    rm -rf "$scratch"
}

# summary: reads "clipped C white W PATH" lines and prints the median and the
# worst of both shares (the median of an even count is the mean of the middle two).
summary() {
    awk '{ clipped[NR] = $2; white[NR] = $4 }
        function median(values, n,    i, j, t) {
            for (i = 2; i <= n; ++i)
                for (j = i; j > 1 && values[j - 1] > values[j]; --j) {
                    t = values[j]; values[j] = values[j - 1]; values[j - 1] = t
                }
            return n % 2 ? values[(n + 1) / 2] : (values[n / 2] + values[n / 2 + 1]) / 2
        }
        END {
            n = NR
            mc = median(clipped, n); wc = clipped[n]
            mw = median(white, n); ww = white[n]
            printf "%6.1f | %6.1f | %6.1f | %6.1f | %s", mc, wc, mw, ww,
                   (mc <= 10 && wc <= 25 && mw <= 2) ? "within" : "over"
        }'
}

fetch_photos
PHOTO_FILES=()
for entry in "${PHOTO_LIST[@]}"; do
    read -r package path label <<<"$entry"
    PHOTO_FILES+=("$PHOTOS/$(basename "$path")")
done

gallery=1
if [ "${1:-}" = --no-gallery ]; then
    gallery=0
    shift
fi
STYLES=()
if [ $# -gt 0 ]; then
    STYLES=("$@")
else
    mapfile -t STYLES < <("$ZERAFIN" styles)
fi
mkdir -p "$RESULTS"

echo "${#PHOTO_FILES[@]} photographs:"
for entry in "${PHOTO_LIST[@]}"; do
    read -r package path label <<<"$entry"
    size=$("$CHECK" clipped "$PHOTOS/$(basename "$path")" | awk '{ print $6 }')
    printf '  %-20s %-10s %s, from %s\n' "$(basename "$path")" "$size" "$label" "$package"
done
echo
echo "Share of the pixels, in %, over the photographs (limits: clipped median 10, worst 25; white median 2)"
echo
echo "| style | clipped median | worst | white median | worst | limits |"
echo "|---|--------|--------|--------|--------|--------|"
for style in "${STYLES[@]}"; do
    printf '| %s | %s |\n' "$style" "$(stats_of "$style" | summary)"
done

if [ "$gallery" = 1 ]; then
    for photo in "${PHOTO_FILES[@]}"; do
        name=$(basename "${photo%.*}")
        "$ZERAFIN" styles --gallery "$photo" "$RESULTS/gallery-$name.png"
    done
    echo
    echo "Galleries: $RESULTS/gallery-*.png"
fi
