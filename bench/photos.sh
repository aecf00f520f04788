# The real photographs the benchmarks light, from Debian packages:
# fetch_photos fetches the packages' files with apt-get download and unpacks
# the photographs into build/photos (nothing is installed on the system).
# Sourced by the benchmarks after scripts/lib.sh.
PHOTOS="$BUILD_ROOT/photos"

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
