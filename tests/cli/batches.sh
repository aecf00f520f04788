# Batches overlap their images' stages (the next image is read while this one
# is lit, and the one before is written meanwhile): every file a batch writes
# must be the file a single run writes, in both builds, JPEG out, with images
# of several kinds and sizes and one that cannot be read among them (sourced
# by run_cli_tests.sh, whose helpers and inputs it uses).
batches="$work/batches"
mkdir -p "$batches/in"
cp "$work/sample.jpg" "$batches/in/a.jpg"
cp "$work/relief-rgb.png" "$batches/in/b.png"
cp "$work/broken.png" "$batches/in/c.png"
cp "$work/sample-alpha.png" "$batches/in/d.png"
"$image_check" tile "$work/sample.jpg" "$batches/in/e.png" 2
batch_inputs=("$batches"/in/{a.jpg,b.png,c.png,d.png,e.png})
mkdir -p "$batches/single"
for name in a b d e; do
    check "native: $name.jpg alone" 0 native filter "$(ls "$batches"/in/$name.*)" \
        "$batches/single/$name.jpg" --script "$work/plain.json" --quality 90
done
# Both builds write the same JPEG bytes, so both batches are held to the
# native single runs.
for build in native win32; do
    mkdir -p "$batches/$build"
    check "$build: a batch of five images, one unreadable" 2 $build filter "${batch_inputs[@]}" \
        --out-dir "$batches/$build" --format jpg --script "$work/plain.json" --quality 90
    says "$build: the unreadable image is named" "'$batches/in/c.png' was skipped" "$work/err.txt"
    says "$build: the alpha is noted" "JPEG has no alpha channel: '.*d\\.jpg'" "$work/err.txt"
    says "$build: the count of images not written" "1 of 5 images were not written" "$work/err.txt"
    absent "$build: the unreadable image writes nothing" "$batches/$build/c.jpg"
    for name in a b d e; do
        same "$build: the batch's $name.jpg is the single run's" "$batches/single/$name.jpg" \
            "$batches/$build/$name.jpg"
    done
done
