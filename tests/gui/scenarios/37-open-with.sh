# shellcheck shell=bash
echo "== open with another program"
record="$work/recorded.txt"
stand_in=$(winpath "$win32/marbleye-gui-driver.exe.so")
recorded() {
    for _ in $(seq 1 50); do [[ -s "$record" ]] && break; sleep 0.2; done
    tr -d '\r' <"$record" 2>/dev/null
    rm -f "$record"
}
program_env="MARBLEYE_DRIVER_RECORD=$record"
settings="[OpenWith]\r\nOpenWithPhotoshop=${stand_in//\\/\\\\}\r\nOpenWithMediaPlayer=${stand_in//\\/\\\\}\r\n"
start "$(winpath "$pictures/halves.bmp")"
drive command 40094 >/dev/null
check "the editor gets the picture's path" "$stand_in $(winpath "$pictures/halves.bmp")" "$(recorded)"
drive command 40099 >/dev/null
check "the media player gets it in quotes" "$stand_in \"$(winpath "$pictures/halves.bmp")\"" "$(recorded)"
drive post-command 40095 >/dev/null
check "an editor not yet known is asked for" "Choose the directory where psp.exe can be found." "$(drive dialog-text 14146)"
drive dialog-press 1 >/dev/null
check "a folder without it is refused" "psp.exe could NOT be found. Please check again." "$(drive dialog-text 65535)"
drive dialog-press 1 >/dev/null
drive post-command 40098 >/dev/null
check "Reset all" "Successfully rested all directories" "$(drive dialog-text 65535)"
drive dialog-press 1 >/dev/null
check "removes the three editors from the settings file" "OpenWithMediaPlayer" \
    "$(tr -d '\r' <"$program/Marbleye.ini" | grep -o '^OpenWith[A-Za-z0-9]*' | tr '\n' ' ' | sed 's/ $//')"
drive post-command 40094 >/dev/null
check "and Photoshop is asked for again" "Choose the directory where photoshp.exe can be found." "$(drive dialog-text 14146)"
drive dialog-press 2 >/dev/null
check "leaving the picker starts nothing" "" "$(sleep 1; tr -d '\r' <"$record" 2>/dev/null)"
stop
program_env=""
