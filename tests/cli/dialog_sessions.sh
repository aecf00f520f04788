# Sourced by run_cli_tests.sh. The Win32 suite's random editing sessions in the
# dialog (tests/win32/dialog_sessions_test.cpp) leave, for each session, its
# input, the image OK lit and the script recorded at OK: the native build
# replays every recording to OK's image and records the very same script.
# And every shipped style, recorded by --style, replays to the style's image.
sessions="$(dirname "$win32_dist")/artifacts/sessions"
session_count=0
for recording in "$sessions"/session-*-recording.json; do
    [ -e "$recording" ] || break
    session=${recording%-recording.json}
    name=$(basename "$session")
    session_count=$((session_count + 1))
    check "native: the replay of $name" 0 native filter "$session-input.png" "$work/$name.png" \
        --script "$recording" --record "$work/$name.json"
    if "$image_check" compare "$session-ok.png" "$work/$name.png" >"$work/compare.txt"; then
        pass
    else
        fail "native: the replay of $name lights another image than OK did: $(cat "$work/compare.txt")"
    fi
    same "native: the replay of $name records the same script" "$recording" "$work/$name.json"
done
[ "$session_count" -gt 0 ] && pass ||
    fail "no dialog sessions in $sessions: the Win32 suite writes them"

while read -r style; do
    check "native: '$style' recorded" 0 native filter "$work/sample.png" "$work/style1.png" \
        --style "$style" --record "$work/style1.json"
    check "native: '$style' replayed" 0 native filter "$work/sample.png" "$work/style2.png" \
        --script "$work/style1.json"
    same "native: '$style' replays to its image" "$work/style1.png" "$work/style2.png"
done < <(native styles)
