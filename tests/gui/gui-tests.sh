#!/usr/bin/env bash
# Drives the real Marbleye under Wine the way a user meets it and checks what
# the user would see. Run under an X server (xvfb-run).
# Usage: gui-tests.sh WIN32_BUILD_FOLDER [SCENARIO...]
# The scenarios are the files in scenarios/, run in name order (or the ones
# named); each starts from no settings and no language file.
set -u
win32=$(cd "$1" && pwd)
work=$(mktemp -d /tmp/marbleye-gui-XXXXXX)
export WINEPREFIX=${MARBLEYE_WINEPREFIX:-$work/prefix}
export WINEDEBUG=-all
program=$work/program
pictures=$work/pictures
driver="$win32/marbleye-gui-driver.exe"
passed=0
failed=0

cleanup() {
    wineserver -k >/dev/null 2>&1
    rm -rf "$work"
}
trap cleanup EXIT

here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"

# The prefix is made once, before any scenario waits for a window: making it
# takes longer than a program's start.
wineboot --init >/dev/null 2>&1
wineserver -w

mkdir -p "$pictures"
/usr/bin/convert -size 300x200 xc:red -fill blue -draw "rectangle 150,0,299,199" -type TrueColor "BMP3:$pictures/halves.bmp"
/usr/bin/convert -size 64x48 xc:lime -type TrueColor "BMP3:$pictures/green.bmp"
# Wine quotes an argument with a blank the way the shell passes a file: a
# hand-over then carries one double-quoted path.
mkdir -p "$pictures/my pictures"
cp "$pictures/green.bmp" "$pictures/my pictures/green.bmp"
/usr/bin/convert -size 2000x500 gradient:white-black -type TrueColor "BMP3:$pictures/wide.bmp"
printf 'GIF89a, not a bitmap' >"$pictures/broken.bmp"
printf 'plain text' >"$pictures/notes.txt"

scenarios=("$@")
[[ ${#scenarios[@]} -gt 1 ]] && scenarios=("${scenarios[@]:1}") || scenarios=("$here"/scenarios/*.sh)
for scenario in "${scenarios[@]}"; do
    [[ -f "$scenario" ]] || scenario="$here/scenarios/$scenario.sh"
    settings=""
    language=""
    source "$scenario"
done

echo "$passed passed, $failed failed"
[[ $failed -eq 0 ]]
