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
PHOTOS="$BUILD_ROOT/photos"
RESULTS="$BUILD_ROOT/styles-on-photos"
for program in "$ZERAFIN" "$CHECK"; do
    [ -x "$program" ] || { echo "missing $program: run scripts/build first" >&2; exit 1; }
done

# The photographs: package, path inside it, and what the picture shows. Sizes
# run from 451 x 300 to 2560 x 1920, exposures from a dark storm to bright
# sand and pale wood; half are JPEG, so the relief styles meet 8 x 8 blocks.
SKIMAGE=usr/lib/python3/dist-packages/skimage/data
MATE=usr/share/backgrounds/mate/nature
PHOTO_LIST=(
    "python3-skimage $SKIMAGE/astronaut.png portrait"
    "python3-skimage $SKIMAGE/chelsea.png cat"
    "python3-skimage $SKIMAGE/coffee.png cup of coffee"
    "python3-skimage $SKIMAGE/rocket.jpg rocket on its pad"
    "python3-skimage $SKIMAGE/motorcycle_left.png motorbike"
    "mate-backgrounds $MATE/Dune.jpg dune grass by the sea, bright"
    "mate-backgrounds $MATE/Storm.jpg storm over a road, dark"
    "mate-backgrounds $MATE/LadyBird.jpg ladybird on a stem"
    "mate-backgrounds $MATE/Garden.jpg red flower"
    "mate-backgrounds $MATE/Wood.jpg pale wooden floor, high key"
)

# fetch_photos: unpacks the packages once and copies the photographs into
# build/photos under their own names.
fetch_photos() {
    local packages=() entry package path
    for entry in "${PHOTO_LIST[@]}"; do
        read -r package path _ <<<"$entry"
        [ -f "$PHOTOS/$(basename "$path")" ] && continue
        [[ " ${packages[*]} " == *" $package "* ]] || packages+=("$package")
    done
    [ ${#packages[@]} -eq 0 ] && return
    log "fetching the photographs' packages from the Debian archive: ${packages[*]}"
    mkdir -p "$PHOTOS/debs" "$PHOTOS/unpacked"
    # apt-get download needs the package lists: read them once when it fails.
    if ! (cd "$PHOTOS/debs" && apt-get download -qq "${packages[@]}" 2>/dev/null); then
        log "reading the package lists (apt-get update) and fetching again"
        as_root apt-get update -qq
        (cd "$PHOTOS/debs" && apt-get download -qq "${packages[@]}" 2>&1 |
            grep -v '^W: Download is performed unsandboxed' || true)
    fi
    for package in "${packages[@]}"; do
        dpkg-deb -x "$(ls "$PHOTOS"/debs/"${package}"_*.deb | head -n 1)" "$PHOTOS/unpacked"
    done
    for entry in "${PHOTO_LIST[@]}"; do
        read -r package path _ <<<"$entry"
        cp "$PHOTOS/unpacked/$path" "$PHOTOS/"
    done
    rm -rf "$PHOTOS/debs" "$PHOTOS/unpacked"
}

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
