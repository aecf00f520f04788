# Sourced by run_cli_tests.sh. What the script reference promises about
# brightness, through the host: the neutral light keeps the sample's
# brightness, a light given by its type alone lights it, and the measure the
# style benchmark takes of a picture is right.

# mean_of IMAGE: the mean sample of the image, as orvane_image_check clipped gives it.
mean_of() { "$image_check" clipped "$1" | awk '{ print $8 }'; }

# near NAME A B LIMIT: the two numbers differ by at most LIMIT
near() {
    if awk -v a="$2" -v b="$3" -v limit="$4" 'BEGIN { d = a - b; exit !(d <= limit && -d <= limit) }'; then
        pass
    else
        fail "$1: $2 and $3 differ by more than $4"
    fi
}

cat >"$work/neutral.json" <<'JSON'
{ "LghS": [ { "LghT": "LghD", "Intn": 24, "Vct0": [50, 50] } ], "AmbB": -1, "Exps": 0, "Glos": -100 }
JSON
check "native: the neutral light" 0 native filter "$work/sample.png" "$work/neutral.png" \
    --script "$work/neutral.json"
near "the neutral light keeps the sample's brightness" "$(mean_of "$work/sample.png")" \
    "$(mean_of "$work/neutral.png")" 1

# A light given by its type alone is a new light, which shines: the sample
# comes out brighter than with the same light switched off.
echo '{ "LghS": [ { "LghT": "LghS", "On  ": false } ], "Glos": -100 }' >"$work/light-off.json"
check "native: a light switched off" 0 native filter "$work/sample.png" "$work/light-off.png" \
    --script "$work/light-off.json"
for type in LghO LghS LghD; do
    echo "{ \"LghS\": [ { \"LghT\": \"$type\" } ], \"Glos\": -100 }" >"$work/type-only.json"
    check "native: a $type light given by its type alone" 0 native filter "$work/sample.png" \
        "$work/type-only-$type.png" --script "$work/type-only.json"
    awk -v lit="$(mean_of "$work/type-only-$type.png")" -v off="$(mean_of "$work/light-off.png")" \
        'BEGIN { exit !(lit > off + 5) }' && pass ||
        fail "a $type light given by its type alone does not light the sample"
done

# The benchmark's measure: the sample has no pixel at 255; lit white on its
# left half, half its pixels are white, and clipped.
size=$("$image_check" clipped "$work/sample.png" | awk '{ print $6 }')
width=${size%x*} height=${size#*x}
says "the sample has no pixel at 255" "^clipped 0.00 white 0.00 " <("$image_check" clipped "$work/sample.png")
cat >"$work/white.json" <<'JSON'
{ "LghS": [ { "LghT": "LghD", "Intn": 100, "Vct0": [50, 50] } ], "AmbB": 100, "Exps": 100, "Glos": 100 }
JSON
check "native: white on the left half" 0 native filter "$work/sample.png" "$work/white-left.png" \
    --script "$work/white.json" --area "0,0,$height,$((width / 2))"
left=$(awk -v w="$width" 'BEGIN { printf "%.2f", 100 * int(w / 2) / w }')
says "the white half is measured clipped and white" "^clipped $left white $left " \
    <("$image_check" clipped "$work/white-left.png")
