#!/usr/bin/env bash
# Drives the real Marbleye under Wine the way a user meets it and checks what
# the user would see. Run under an X server (xvfb-run).
# Usage: gui-tests.sh WIN32_BUILD_FOLDER
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

winpath() { printf 'Z:%s' "${1//\//\\}"; }
drive() { "$driver" "$@" 2>/dev/null | tr -d '\r'; }

check() {  # NAME EXPECTED ACTUAL
    if [[ "$2" == "$3" ]]; then
        passed=$((passed + 1))
        echo "ok    $1"
    else
        failed=$((failed + 1))
        echo "FAIL  $1: expected [$2], got [$3]"
    fi
}

# Starts the program in the background with a fresh copy of its folder, so
# every scenario begins with its own settings file.
start() {
    rm -rf "$program"
    mkdir -p "$program"
    cp "$win32/Marbleye.exe" "$win32/Marbleye.exe.so" "$program/"
    [[ -n "${settings:-}" ]] && printf '%b' "$settings" >"$program/Marbleye.ini"
    if [[ -n "${language:-}" ]]; then
        mkdir -p "$program/INTL"
        printf '%b' "$language" >"$program/INTL/Deutsch.ini"
    fi
    (cd "$program" && exec ./Marbleye.exe "$@" >/dev/null 2>&1) &
    program_pid=$!
    drive wait-window 60 >/dev/null || echo "      (the window did not appear)"
}

# Closes every main window; a program that will not end is killed so that the
# next scenario starts clean (and the check that follows fails).
stop() {
    for _ in $(seq 1 40); do
        [[ "$(drive count-windows)" == "0" ]] && break
        drive close >/dev/null
        sleep 0.5
    done
    for pid in "$program_pid" "$@"; do
        for _ in $(seq 1 20); do kill -0 "$pid" 2>/dev/null || break; sleep 0.5; done
        kill "$pid" 2>/dev/null && echo "      (killed a program that did not end)"
    done
    wait 2>/dev/null
}

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

echo "== an empty command line"
settings=""
start
check "status without an image" "No Image loaded" "$(drive status 0)"
read -r _ _ width _ <<<"$(drive window-rect)"
check "window width for a 512 x 200 picture" "524" "$width"
check "Save is greyed without an image" "grayed unchecked" "$(drive menu-state 204)"
check "Open is enabled" "enabled unchecked" "$(drive menu-state 200)"
stop

echo "== a picture"
start "$(winpath "$pictures/halves.bmp")"
check "title" "halves.bmp - Marbleye" "$(drive title)"
check "size field" $'\t300x200x24' "$(drive status 0)"
check "zoom field" $'\t100%' "$(drive status 1)"
check "position field" $'\t3/4' "$(drive status 3)"
read -r cw ch <<<"$(drive client-size)"
check "left half is red" "255 0 0" "$(drive pixel $((cw / 2 - 75)) $((ch / 2)))"
check "right half is blue" "0 0 255" "$(drive pixel $((cw / 2 + 75)) $((ch / 2)))"
check "Save is enabled for a bitmap" "enabled unchecked" "$(drive menu-state 204)"
check "Fit None is checked" "enabled checked" "$(drive menu-state 40067)"
check "Show Toolbar is checked" "enabled checked" "$(drive menu-state 40046)"
read -r _ _ _ tall <<<"$(drive window-rect)"
drive command 40046 >/dev/null
read -r _ _ _ short <<<"$(drive window-rect)"
check "hiding the toolbar unchecks it" "enabled unchecked" "$(drive menu-state 40046)"
check "and makes the window shorter" "yes" "$([[ $short -lt $tall ]] && echo yes || echo "no ($tall -> $short)")"
drive command 40046 >/dev/null
check "showing it again" "enabled checked" "$(drive menu-state 40046)"

echo "== check marks follow the state"
drive command 40051 >/dev/null
check "tile mode checks its item" "enabled checked" "$(drive menu-state 40051)"
drive command 40051 >/dev/null
check "and unchecks it again" "enabled unchecked" "$(drive menu-state 40051)"
drive command 40086 >/dev/null
check "Lock Zoom is checked while locked" "enabled checked" "$(drive menu-state 40086)"
drive command 40086 >/dev/null
drive command 40069 >/dev/null
check "Use last Windowposition is checked" "enabled checked" "$(drive menu-state 40069)"
drive command 40069 >/dev/null
check "the video size of the settings is checked" "enabled checked" "$(drive menu-state 40071)"
check "the other video sizes are not" "enabled unchecked" "$(drive menu-state 40072)"
drive command 40066 >/dev/null
check "fitting checks Fit Image to Window" "enabled checked" "$(drive menu-state 40066)"
check "and unchecks Fit None" "enabled unchecked" "$(drive menu-state 40067)"
drive command 40067 >/dev/null

echo "== zoom"
drive command 207 >/dev/null
check "zoom out from 100 %" $'\t69%' "$(drive status 1)"
drive command 206 >/dev/null
check "zoom in from 0.7" $'\t100%' "$(drive status 1)"
for _ in 1 2 3 4 5 6 7; do drive command 207 >/dev/null; done
check "zoom out to the bottom of the ladder" $'\t5%' "$(drive status 1)"
drive command 207 >/dev/null
check "zoom out from 0.05 stays" $'\t5%' "$(drive status 1)"
drive wheel 120 ctrl >/dev/null
check "ctrl and the wheel zoom in" $'\t10%' "$(drive status 1)"
drive command 208 >/dev/null
check "original size" $'\t100%' "$(drive status 1)"
drive command 40003 >/dev/null
check "previous picture" "green.bmp - Marbleye" "$(drive title)"
check "its position" $'\t2/4' "$(drive status 3)"
drive command 40029 >/dev/null
drive command 40002 >/dev/null
check "next after the last wraps to the first" $'\t1/4' "$(drive status 3)"
stop

echo "== the About dialog and the commands still to come"
start "$(winpath "$pictures/halves.bmp")"
drive post-command 203 >/dev/null
check "About opens from the Help menu" "About Marbleye" "$(drive dialog-text 0)"
check "it shows the build line" "yes" "$(drive dialog-text 1002 | grep -q '^Marbleye - Built on ' && echo yes)"
check "with the English link texts" "Visit Homepage" "$(drive dialog-text 1004)"
drive dialog-press 1 >/dev/null
check "OK closes it" "0" "$(drive dialog-count)"
drive post-syscommand 203 >/dev/null
check "the system command 203 opens it too" "About Marbleye" "$(drive dialog-text 0)"
drive dialog-press 2 >/dev/null
check "Escape closes it" "0" "$(drive dialog-count)"
drive post-command 205 >/dev/null
check "a command whose part is still to come says so" '"Print..." is not available yet.' "$(drive dialog-text 65535)"
drive dialog-press 1 >/dev/null
check "and the program goes on" "halves.bmp - Marbleye" "$(drive title)"
stop

echo "== a dialog in the chosen language"
settings='[Appearance]\r\nLanguageFile=\\INTL\\Deutsch.ini\r\n'
language='[Dlg_About]\r\nVisitHomepage=Startseite besuchen\r\n'
start "$(winpath "$pictures/halves.bmp")"
drive post-command 203 >/dev/null
check "a key of the dialog's section replaces its text" "Startseite besuchen" "$(drive dialog-text 1004)"
check "a key the file lacks gives an empty text" "[]" "$(t=$(drive dialog-text 1005) && echo "[$t]")"
check "texts without a key stay" "About Marbleye" "$(drive dialog-text 0)"
drive dialog-press 1 >/dev/null
stop
settings=""
language=""

echo "== the folder is listed in the system's name order"
order="$pictures/order"
mkdir -p "$order"
for name in _x.bmp 10.bmp 9.bmp ab.bmp a-b.bmp B.bmp; do cp "$pictures/green.bmp" "$order/$name"; done
/usr/bin/convert "$pictures/green.bmp" "PNG24:$order/b.png"
start "$(winpath "$order/_x.bmp")"
seen="$(drive title)"
for _ in 1 2 3 4 5 6; do drive command 40002 >/dev/null; seen="$seen|$(drive title)"; done
check "symbols, digits, then letters; case and hyphens decide last" \
    "_x.bmp - Marbleye|10.bmp - Marbleye|9.bmp - Marbleye|ab.bmp - Marbleye|a-b.bmp - Marbleye|B.bmp - Marbleye|b.png - Marbleye" "$seen"
stop

echo "== colour depth"
start "$(winpath "$pictures/halves.bmp")"
drive command 40027 >/dev/null
check "Convert to 8bit shows the new depth" $'\t300x200x8' "$(drive status 0)"
check "and greys itself" "grayed unchecked" "$(drive menu-state 40027)"
read -r cw ch <<<"$(drive client-size)"
check "red stays red" "255 0 0" "$(drive pixel $((cw / 2 - 75)) $((ch / 2)))"
drive command 40025 >/dev/null
check "Convert to 4bit" $'\t300x200x4' "$(drive status 0)"
check "blue stays blue" "0 0 255" "$(drive pixel $((cw / 2 + 75)) $((ch / 2)))"
drive command 40068 >/dev/null
check "Convert to 24bit only changes the depth shown" $'\t300x200x24' "$(drive status 0)"
stop

echo "== fit mode"
settings='[Appearance]\r\nViewStyle=1\r\n'
start "$(winpath "$pictures/wide.bmp")"
drive set-client-size 1004 700 >/dev/null
check "a 2000-pixel picture in a 1000-pixel area" $'\t50%' "$(drive status 1)"
check "Fit Image to Window is checked" "enabled checked" "$(drive menu-state 40066)"
check "Lock Zoom is greyed in fit mode" "grayed unchecked" "$(drive menu-state 40086)"
stop
settings=""

echo "== failed loads"
start "$(winpath "$pictures/broken.bmp")"
check "a broken bitmap gives the error picture" $'\t500x200x-1' "$(drive status 0)"
check "the title names the file" "broken.bmp - Marbleye" "$(drive title)"
check "the picture shows the reader's message" "0" "$(drive error-picture "broken.bmp: is not a valid BitmapFile!")"
stop
start "$(winpath "$pictures/notes.txt")"
check "an unknown extension gives the error picture" $'\t500x200x-1' "$(drive status 0)"
check "the picture shows the message" "0" "$(drive error-picture "notes.txt: Unable to determine Fileformat.")"
check "a different text would not match" "yes" "$(d=$(drive error-picture "notes.txt: Unable to determine the Fileformat"); [[ ${d:-0} -gt 0 ]] && echo yes)"
stop

echo "== one instance"
start "$(winpath "$pictures/halves.bmp")"
(cd "$program" && ./Marbleye.exe "$(winpath "$pictures/my pictures/green.bmp")" >/dev/null 2>&1)
check "a second start exits with -1" "255" "$?"
check "the first instance shows the handed-over picture" "green.bmp - Marbleye" "$(drive title)"
check "only one window" "1" "$(drive count-windows)"
drive copydata "\"$(winpath "$pictures/halves.bmp")\"" >/dev/null
check "a hand-over by message" "halves.bmp - Marbleye" "$(drive title)"
stop

settings='[Appearance]\r\nUseOnlyOneInstance=0\r\n'
start "$(winpath "$pictures/halves.bmp")"
(cd "$program" && exec ./Marbleye.exe "$(winpath "$pictures/green.bmp")" >/dev/null 2>&1) &
second=$!
sleep 1
for _ in $(seq 1 100); do [[ "$(drive count-windows)" == "2" ]] && break; sleep 0.2; done
check "with UseOnlyOneInstance=0 two instances run" "2" "$(drive count-windows)"
stop "$second"
settings=""

echo "== conversion on the command line"
rm -rf "$program"; mkdir -p "$program"
cp "$win32/Marbleye.exe" "$win32/Marbleye.exe.so" "$program/"
# Started from inside Wine, the program is its .so: the .exe beside it is the
# launcher script for the shell.
code=$(cd "$program" && drive run 60 "Marbleye.exe.so -c=\"$(winpath "$work/converted.bmp")\" \"$(winpath "$pictures/halves.bmp")\"")
check "-c ends the program" "0" "$code"
check "-c writes the target" "$(cmp -s <(/usr/bin/convert "$pictures/halves.bmp" rgb:-) <(/usr/bin/convert "$work/converted.bmp" rgb:-) && echo same)" "same"

echo "== pictures read and written through the image libraries"
library="$pictures/library"
mkdir -p "$library"
/usr/bin/convert "$pictures/halves.bmp" "PNG24:$library/halves.png"
/usr/bin/convert "$pictures/halves.bmp" -quality 95 "$library/halves.jpg"
start "$(winpath "$library/halves.png")"
check "a PNG" $'\t300x200x24' "$(drive status 0)"
read -r cw ch <<<"$(drive client-size)"
check "its left half is red" "255 0 0" "$(drive pixel $((cw / 2 - 75)) $((ch / 2)))"
drive command 40002 >/dev/null
check "the next picture is the JPEG" "halves.jpg - Marbleye" "$(drive title)"
check "a JPEG" $'\t300x200x24' "$(drive status 0)"
read -r red green blue <<<"$(drive pixel $((cw / 2 + 75)) $((ch / 2)))"
check "its right half is blue" "yes" "$([[ $red -lt 8 && $green -lt 8 && $blue -gt 247 ]] && echo yes || echo "no: $red $green $blue")"
stop
rm -rf "$program"; mkdir -p "$program"
cp "$win32/Marbleye.exe" "$win32/Marbleye.exe.so" "$program/"
printf '[SaveAs]\r\nTIFCompression=4\r\n' >"$program/Marbleye.ini"
# By its full path: a bare name would find the build folder's copy first,
# which sits beside the driver.
code=$(cd "$program" && drive run 60 "\"$(winpath "$program/Marbleye.exe.so")\" -c=\"$(winpath "$work/converted.tif")\" \"$(winpath "$pictures/halves.bmp")\"")
check "-c writes a TIFF" "0" "$code"
check "with the compression of the settings" "yes" "$(/usr/bin/tiffinfo "$work/converted.tif" 2>/dev/null | grep -q 'Compression Scheme: LZW' && echo yes)"
check "holding the picture" "$(cmp -s <(/usr/bin/convert "$pictures/halves.bmp" rgb:-) <(/usr/bin/convert "$work/converted.tif" rgb:-) && echo same)" "same"

echo "== the settings file"
settings='[Appearance]\r\nViewImageAsTiles=1\r\n[SaveAs]\r\nJPGQuality=55\r\n'
start "$(winpath "$pictures/halves.bmp")"
check "read at start" "enabled checked" "$(drive menu-state 40051)"
stop
ini=$(tr -d '\r' <"$program/Marbleye.ini")
check "written at exit, keeping values" "yes" "$(grep -qx 'JPGQuality=55' <<<"$ini" && grep -qx 'ViewImageAsTiles=1' <<<"$ini" && grep -qx 'nToolBarButtons=25' <<<"$ini" && echo yes)"
settings=""

echo "$passed passed, $failed failed"
[[ $failed -eq 0 ]]
