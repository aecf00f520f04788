#!/usr/bin/env bash
# A batch of 20 photographs of 12 megapixels, JPEG in and JPEG out, lit with
# three lights (a spot, an omni and a directional light, no relief) by
# `zerafin filter ... --out-dir`, natively and under Wine; prints the seconds
# and the images per second, the median of ROUNDS (default 3).
#
# The photographs are the real ones of bench/photos.sh (Debian packages),
# stretched to 4000 x 3000 and, turned the other way, to 3000 x 4000: ten
# pictures, twenty files. They are made once, in build/batch-photos.
#
# With --baseline DIR (an earlier build: DIR/native/zerafin and DIR/win32/
# zerafin.exe with its module and PLUGIN.dll beside it), the earlier build's
# batches run in turn with this one's, and every image of both must be the same
# file. Builds nothing: run scripts/build first.
#
#   bench/batch.sh [--baseline DIR] [ROUNDS]
source "$(dirname "$0")/../scripts/lib.sh"
source "$(dirname "$0")/builds.sh"
source "$(dirname "$0")/photos.sh"
set -euo pipefail

read_arguments 3 "$@"
ROUNDS=$value
CHECK="$NATIVE/tools/orvane_image_check"
require_built "$NATIVE/zerafin" "$CHECK" "$NATIVE/bench/orvane_end_to_end" \
    "$WIN32/dist/zerafin.exe"

# The twenty photographs.
batch_photos="$BUILD_ROOT/batch-photos"
if [ "$(ls "$batch_photos"/*.jpg 2>/dev/null | wc -l)" -ne 20 ]; then
    fetch_photos
    rm -rf "$batch_photos"
    mkdir -p "$batch_photos"
    log "stretching the photographs to 12 megapixels"
    for entry in "${PHOTO_LIST[@]}"; do
        read -r _ path _ <<<"$entry"
        name=$(basename "${path%.*}")
        "$CHECK" scale "$PHOTOS/$(basename "$path")" "$batch_photos/$name-wide.jpg" 4000 3000
        "$CHECK" scale "$PHOTOS/$(basename "$path")" "$batch_photos/$name-tall.jpg" 3000 4000
    done
fi

work="$BUILD_ROOT/batch-runs"
rm -rf "$work"
mkdir -p "$work"
"$NATIVE/bench/orvane_end_to_end" --inputs 16 "$work"
start_wine
trap 'stop_wine; rm -rf "$work"' EXIT

# The builds: a label and the folders of its hosts.
mapfile -t builds < <(builds_to_time "$baseline")

# batch_seconds HOST OUTPUT_FOLDER: lights the batch, prints its seconds.
batch_seconds() {
    local host=$1 out=$2 start end photos=("$batch_photos"/*.jpg) script="$work/plain.json"
    local runner=()
    rm -rf "$out"
    mkdir -p "$out"
    if [[ $host == *.exe ]]; then
        runner=(wine)
        local windows=()
        for photo in "${photos[@]}"; do windows+=("$(windows_path "$photo")"); done
        photos=("${windows[@]}")
        script=$(windows_path "$script")
        out=$(windows_path "$out")
    fi
    start=$(date +%s%N)
    "${runner[@]}" "$host" filter "${photos[@]}" --out-dir "$out" --format jpg --script "$script" \
        >/dev/null
    end=$(date +%s%N)
    awk -v ns=$((end - start)) 'BEGIN { printf "%.2f", ns / 1e9 }'
}

declare -A times
for round in $(seq "$ROUNDS"); do
    for build in "${builds[@]}"; do
        read -r label native win32 <<<"$build"
        times["native|$label"]+="$(batch_seconds "$native/zerafin" "$work/native-$label") "
        times["Wine|$label"]+="$(batch_seconds "$win32/zerafin.exe" "$work/wine-$label") "
    done
done
if [ -n "$baseline" ]; then
    for host in native wine; do
        for file in "$work/$host-this"/*.jpg; do
            cmp -s "$file" "$work/$host-baseline/$(basename "$file")" ||
                { echo "$host: $(basename "$file") differs from the earlier build's" >&2; exit 1; }
        done
    done
fi

echo "20 photographs of 12 megapixels, JPEG in and out, three lights; median of $ROUNDS"
echo
echo "| host | build | seconds | images per second |"
echo "|---|---|---|---|"
for host in native Wine; do
    for build in "${builds[@]}"; do
        read -r label _ <<<"$build"
        seconds=$(median "${times[$host|$label]}")
        awk -v h="$host" -v b="$label" -v s="$seconds" \
            'BEGIN { printf "| %s | %s | %.2f | %.2f |\n", h, b, s, 20 / s }'
    done
done
[ -n "$baseline" ] && echo && echo "Every image is the same file in both builds."
exit 0
