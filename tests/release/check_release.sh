#!/usr/bin/env bash
# The Windows release that scripts/package wrote into release/, checked under
# Wine as a user would meet it: the checksums, the zip's exact contents, and
# the installer in silent mode (installing, the command-line host of the zip
# lighting the demo with the installed module, a style saved through the
# dialog surviving an uninstall, a reinstall and an upgrade, the uninstaller
# leaving nothing of its own behind, in the folder or in the registry).
# Runs in the caller's Wine session (scripts/test's start_wine).
root=$(cd "$(dirname "$0")/../.." && pwd)
source "$root/scripts/lib.sh"
stop_at_any_failure
wine_environment
export LC_ALL=C.UTF-8

release="$root/release"
dist="$root/build/win32/dist"
native="$root/build/native"
presser="$root/build/win32/tests/orvane_press_button.exe"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Orvane'
settings_key='HKLM\Software\Orvane'
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
passed=0 failed=0

pass() { passed=$((passed + 1)); }
fail() { failed=$((failed + 1)); echo "FAIL $*" >&2; }
expect() { # expect NAME COMMAND...: the command succeeds
    local name=$1; shift
    if "$@"; then pass; else fail "$name"; fi
}
same_files() { # same_files NAME A B
    if cmp -s "$2" "$3"; then pass; else fail "$1: $2 and $3 differ"; fi
}
# A folder's files (and empty folders), relative to it, one a line, sorted.
listing() { (cd "$1" && find . -mindepth 1 \( -type f -o -type d -empty \) | sed 's|^\./||' | sort); }
without_debugging_sections() { # FILE...
    local headers
    headers=$(i686-w64-mingw32-objdump -h "$@") || return 1
    ! grep -q '\.debug' <<<"$headers"
}
registry_has() { wine reg query "$1" >/dev/null 2>&1; }
registry_lacks() { ! registry_has "$1"; }

setups=("$release"/Orvane-*-setup.exe)
zips=("$release"/Orvane-*-win32.zip)
if [ ${#setups[@]} -ne 1 ] || [ ${#zips[@]} -ne 1 ] || [ ! -f "${setups[0]}" ]; then
    echo "release/ does not hold one installer and one zip: run scripts/package" >&2
    exit 1
fi
setup=${setups[0]}
zip=${zips[0]}
version=${zip##*/Orvane-}
version=${version%-win32.zip}

# --- The checksums cover both files and match them.
expect "SHA256SUMS lists the zip and the installer" \
    diff <(cut -d' ' -f3 "$release/SHA256SUMS" | sort) <(basename -a "$zip" "$setup" | sort)
expect "SHA256SUMS matches the files" \
    bash -c "cd '$release' && sha256sum --check --strict --quiet SHA256SUMS"

# --- The zip holds exactly the module, its styles, the guides, the licence and
# the command-line host apart; the build's files byte for byte.
shipped=()
while IFS= read -r style; do shipped+=("$style"); done < <(listing "$dist/Lighting Styles")
{
    printf '%s\n' Orvane.9zf LISEZMOI.txt README.txt LICENSE.txt \
        "Ligne de commande/zerafin.exe" "Ligne de commande/PLUGIN.dll"
    printf 'Lighting Styles/%s\n' "${shipped[@]}"
} | sort >"$work/expected-zip.txt"
unzip -Z1 "$zip" | sort >"$work/zip.txt"
expect "the zip holds exactly the listed files" diff -u "$work/expected-zip.txt" "$work/zip.txt"
# Names that are not ASCII carry the UTF-8 mark, or Windows shows them garbled.
expect "the zip marks its accented names as UTF-8" python3 -c '
import sys, zipfile
sys.exit(any(not entry.filename.isascii() and not entry.flag_bits & 0x800
             for entry in zipfile.ZipFile(sys.argv[1]).infolist()))' "$zip"
unzip -q "$zip" -d "$work/zip"
# The programs are the build's, stripped of their debugging information.
mkdir "$work/shipped"
for file in Orvane.9zf zerafin.exe PLUGIN.dll; do
    shipped_program "$dist/$file" "$work/shipped/$file"
done
expect "the zip's programs carry no debugging sections" without_debugging_sections \
    "$work/zip/Orvane.9zf" "$work/zip/Ligne de commande/zerafin.exe" "$work/zip/Ligne de commande/PLUGIN.dll"
same_files "the zip's module" "$work/shipped/Orvane.9zf" "$work/zip/Orvane.9zf"
for style in "${shipped[@]}"; do
    same_files "the zip's style '$style'" "$dist/Lighting Styles/$style" "$work/zip/Lighting Styles/$style"
done
for file in zerafin.exe PLUGIN.dll; do
    same_files "the zip's $file" "$work/shipped/$file" "$work/zip/Ligne de commande/$file"
done
expect "the French guide is text for Windows" grep -q $'^Orvane.*\r$' "$work/zip/LISEZMOI.txt"

# The zip's host, on its own PLUGIN.dll, with the installed module.
host="$work/zip/Ligne de commande/zerafin.exe"
# No space: wine would quote the argument, and /D= must not be quoted.
plugins="$work/Plug-ins"
module=$(windows_path "$plugins/Orvane.9zf")
zerafin() { wine "$host" "$@"; }

install() { wine "$setup" /S "/D=$(windows_path "$plugins")"; }
# The uninstaller copies itself away and returns at once: wait for it to end.
uninstall() {
    wine "$plugins/Orvane/uninstall.exe" /S || return 1
    for _ in $(seq 300); do
        [ -e "$plugins/Orvane" ] || return 0
        sleep 0.1
    done
    return 1
}
installed_files() {
    {
        printf '%s\n' Orvane.9zf Orvane/LISEZMOI.txt Orvane/README.txt Orvane/LICENSE.txt \
            Orvane/uninstall.exe
        printf 'Lighting Styles/%s\n' "${shipped[@]}" "$@"
    } | sort
}
check_installed() { # check_installed WHEN [USER_STYLE...]
    local when=$1; shift
    installed_files "$@" >"$work/expected-install.txt"
    listing "$plugins" >"$work/install.txt"
    expect "$when: the module, the styles and the guides are installed, nothing else" \
        diff -u "$work/expected-install.txt" "$work/install.txt"
    same_files "$when: the installed module" "$work/shipped/Orvane.9zf" "$plugins/Orvane.9zf"
    local style writable=()
    for style in "${shipped[@]}"; do
        same_files "$when: the installed style '$style'" "$dist/Lighting Styles/$style" \
            "$plugins/Lighting Styles/$style"
        [ -n "$(find "$plugins/Lighting Styles/$style" -perm -u+w)" ] && writable+=("$style")
    done
    expect "$when: the shipped styles are read-only (${writable[*]} not)" test ${#writable[@]} -eq 0
    expect "$when: the uninstaller is in the list of programs" registry_has "$uninstall_key"
    wine reg query "$settings_key" /v PluginFolder 2>/dev/null | tr -d '\r' >"$work/folder.txt"
    expect "$when: the plug-ins folder is remembered" grep -qF "$(windows_path "$plugins")" "$work/folder.txt"
}

# --- Installing, silently, into a folder of plug-ins.
mkdir -p "$plugins"
expect "the installer runs silently" install
check_installed "installed"

# The zip's host finds the installed filter and its styles, says the release's
# version and lights the demo as kept in the tree.
zerafin --version --plugin "$module" | tr -d '\r' >"$work/version.txt"
expect "the module says the release's version $version" grep -qx "module $version" "$work/version.txt"
zerafin styles --plugin "$module" | tr -d '\r' | sort >"$work/styles.txt"
printf '%s\n' "${shipped[@]}" | sort >"$work/expected-styles.txt"
expect "the host lists the installed styles" diff -u "$work/expected-styles.txt" "$work/styles.txt"
"$native/tools/orvane_sample" "$work/demo-sample.png" "$work/demo-relief.png" >/dev/null
expect "the host lights the demo with the installed module" \
    zerafin filter "$(windows_path "$work/demo-sample.png")" "$(windows_path "$work/demo.png")" \
    --plugin "$module" --channel "Relief=$(windows_path "$work/demo-relief.png")" \
    --script "$(windows_path "$root/samples/demo.json")"
expect "the demo is the image kept in tests/golden" \
    test "$(sha256sum <"$work/demo.png" | cut -d' ' -f1)" = "$(cut -d' ' -f1 "$root/tests/golden/demo.sha256")"

# A style saved from the dialog, as a user would: "Enregistrer...", a name, OK
# in the name dialog, then OK in the main dialog once the file is written.
saved="Mon style"
zerafin filter "$(windows_path "$work/demo-sample.png")" "$(windows_path "$work/dialog.png")" \
    --plugin "$module" --dialog >/dev/null 2>"$work/dialog-err.txt" &
dialog_host=$!
wine "$presser" Orvane 1002 &&
    wine "$presser" "Enregistrer sous..." 1036 1035 "$saved"
for _ in $(seq 100); do
    [ -f "$plugins/Lighting Styles/$saved" ] && break
    sleep 0.1
done
wine "$presser" Orvane 1007
expect "the dialog closes with OK" wait "$dialog_host"
expect "a style is saved into the installed folder" test -f "$plugins/Lighting Styles/$saved"
cp "$plugins/Lighting Styles/$saved" "$work/saved-style"
check_installed "after saving a style" "$saved"

# --- Uninstalling keeps the saved style and nothing else; reinstalling and
# then upgrading (installing over an installation) keep it too.
expect "the uninstaller runs silently" uninstall
listing "$plugins" >"$work/left.txt"
expect "after uninstalling only the saved style is left" \
    diff -u <(echo "Lighting Styles/$saved") "$work/left.txt"
same_files "the saved style survives the uninstall" "$work/saved-style" "$plugins/Lighting Styles/$saved"
expect "the uninstaller's registry entry is gone" registry_lacks "$uninstall_key"
expect "the remembered folder is gone" registry_lacks "$settings_key"

expect "the installer reinstalls" install
check_installed "reinstalled" "$saved"
expect "the installer installs over an installation" install
check_installed "upgraded" "$saved"
same_files "the saved style survives the upgrade" "$work/saved-style" "$plugins/Lighting Styles/$saved"

rm -f "$plugins/Lighting Styles/$saved"
expect "the last uninstall runs" uninstall
expect "the last uninstall leaves an empty folder" test -z "$(ls -A "$plugins")"

echo "release: $passed passed, $failed failed"
[ "$failed" -eq 0 ] || exit 1 # (a plain test would be reported as a failing command)
