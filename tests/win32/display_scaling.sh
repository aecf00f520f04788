#!/usr/bin/env bash
# The Win32 build at 120, 144 and 192 DPI (the rest of the suite runs at 96),
# in a throwaway copy of the test prefix: each scaling writes its LogPixels
# there and gets one Wine server for all its cases:
# - the determinism cases keep their checksums; scripts, styles and kept
#   parameter blocks light the bytes the native build lights (the native
#   build has no screen, so it lights what 96 DPI lights), and the demo keeps
#   its checksum;
# - the dialog tests (DisplayScaling*): OK applies the 96 DPI image, the mouse
#   and the keys move lights as at 96 DPI, every window lies on the screen and
#   every text fits; they leave build/win32/artifacts/main_dialog_DPI.png.
# Needs both builds, the test prefix (scripts/test makes it) and a display.
source "$(dirname "$0")/../../scripts/lib.sh"
stop_at_any_failure
native_build=$BUILD_ROOT/native
dist=$BUILD_ROOT/win32/dist
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
fail() { failed=$((failed + 1)); echo "FAIL $*" >&2; }

# --- The 96 DPI references, lit by the native build.
"$native_build/tools/orvane_sample" "$work/sample.png" "$work/relief.png" >/dev/null
directional='{"Clr ": {"Rd  ": 255, "Grn ": 240, "Bl  ": 200}, "Intn": 30, "On  ": true, "LghT": "LghD", "Pstn": [30, 35], "Vct0": [60, 25], "Vct1": [0, 0], "Rds ": 10}'
omni='{"Clr ": {"Rd  ": 80, "Grn ": 120, "Bl  ": 255}, "Intn": 20, "On  ": true, "LghT": "LghO", "Pstn": [75, 30], "Vct0": [80, 35], "Vct1": [70, 25], "Rds ": 15}'
printf '{"LghS": [%s, %s], "Glos": 40, "Mtrl": -20, "FrmW": 100.0}\n' "$directional" "$omni" >"$work/directional.json"
relief=(--channel "Relief=$work/relief.png")
native() { "$native_build/zerafin" "$@" >/dev/null; }
native filter "$work/sample.png" "$work/demo.png" "${relief[@]}" --script "$ORVANE_ROOT/samples/demo.json"
native filter "$work/sample.png" "$work/directional.png" --script "$work/directional.json" \
    --params "$work/kept.params"
native filter "$work/sample.png" "$work/repeat.png" --params "$work/kept.params"
native styles --gallery "$work/sample.png" "$work/gallery.png"

# Each case: NAME OUTPUT COMMAND...; the output must equal the native one.
same_as_native() {
    local name=$1 output=$2; shift 2
    if ! run_win32 "$dist/zerafin.exe" "$@" >/dev/null 2>"$work/err.txt"; then
        fail "$dpi DPI, $name: $(tr -d '\r' <"$work/err.txt")"
    elif ! cmp -s "$work/$output" "$work/$dpi-$output"; then
        fail "$dpi DPI, $name: not the image of 96 DPI"
    fi
}

at_scaling() {
    local dpi=$1
    printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Control Panel\\Desktop]\n"LogPixels"=dword:%08x\n\n[HKEY_CURRENT_USER\\Software\\Wine\\Fonts]\n"LogPixels"=dword:%08x\n' \
        "$dpi" "$dpi" >"$work/dpi.reg"
    wineserver -p
    wine regedit /S "$(windows_path "$work/dpi.reg")" >/dev/null 2>&1 || fail "$dpi DPI: regedit"

    run_win32 "$BUILD_ROOT/win32/tools/orvane_determinism.exe" | tr -d '\r' >"$work/determinism.txt"
    cmp -s "$work/determinism.txt" "$ORVANE_ROOT/tests/golden/determinism.txt" ||
        fail "$dpi DPI: the determinism cases lost their kept checksums"
    same_as_native "the demo script" demo.png filter "$work/sample.png" "$work/$dpi-demo.png" \
        "${relief[@]}" --script "$ORVANE_ROOT/samples/demo.json"
    same_as_native "a directional light's script" directional.png filter "$work/sample.png" \
        "$work/$dpi-directional.png" --script "$work/directional.json"
    cp "$work/kept.params" "$work/$dpi.params"
    same_as_native "the kept parameter block" repeat.png filter "$work/sample.png" \
        "$work/$dpi-repeat.png" --params "$work/$dpi.params"
    same_as_native "every style (the gallery)" gallery.png styles --gallery "$work/sample.png" \
        "$work/$dpi-gallery.png"
    if ! ORVANE_SAMPLE_DIR="$work" ORVANE_EXPECTED_DPI=$dpi run_win32 "$BUILD_ROOT/win32/tests/orvane_tests.exe" \
        --gtest_filter='DisplayScaling*' --gtest_brief=1 >"$work/tests.txt" 2>&1; then
        fail "$dpi DPI, the dialog tests:"
        tr -d '\r' <"$work/tests.txt" >&2
    fi
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
}

wine_environment
export WINEPREFIX="$work/prefix"
cp -a "$BUILD_ROOT/wineprefix" "$WINEPREFIX"
expected=$(cut -d' ' -f1 "$ORVANE_ROOT/tests/golden/demo.sha256")
[ "$(sha256sum "$work/demo.png" | cut -d' ' -f1)" = "$expected" ] || fail "the demo lost its checksum"
for dpi in 120 144 192; do
    at_scaling "$dpi"
done
[ "$failed" -eq 0 ] && echo "at 120, 144 and 192 DPI: the images of 96 DPI, and the dialog tests pass"
[ "$failed" -eq 0 ] || exit 1 # (a plain test would be reported as a failing command)
