# shellcheck shell=bash
echo "== sound and unplayable media"
if ! command -v ffmpeg >/dev/null; then
    echo "skip  (no ffmpeg: scripts/install-deps.sh test)"
else
# shellcheck source=../media-files.sh
source "$here/media-files.sh"
settings=""

start "$(winpath "$media/mjpeg.avi")"
mjpeg=$(drive status 5)
if [[ "$mjpeg" == Playing* ]]; then
    check "an MJPEG AVI plays where the system has the codec" "Playing Media (1.00 Seconds)" "$mjpeg"
else
    check "an MJPEG AVI the system cannot decode gives the message" "0" \
        "$(drive error-picture "mjpeg.avi: Unable to open file!")"
    check "and no media window" "none" "$(drive media-window)"
fi
stop

start "$(winpath "$media/broken.avi")"
check "a broken AVI gives the message" "0" "$(drive error-picture "broken.avi: Unable to open file!")"
check "no media window is left" "none" "$(drive media-window)"
check "and nothing plays" "Loaded in " "$(drive status 5 | cut -c1-10)"
drive command 40002 >/dev/null
check "one cut short as well" "0" "$(drive error-picture "cut-short.avi: Unable to open file!")"
stop

start "$(winpath "$media/sine.wav")"
check "a sound plays in the media window" "Playing Media (1.00 Seconds)" "$(drive status 5)"
read -r _ _ swidth sheight sbar <<<"$(drive media-window)"
check "which is its play bar alone" "bar" "$sbar"
check "the picture is a black one of the media window's size" $'\t'"${swidth}x${sheight}x24 0 0 0" \
    "$(drive status 0) $(drive canvas-pixel 5 5)"
drive command 40072 >/dev/null
check "the video sizes leave a sound's window as it was" "$swidth $sheight" "$(drive media-window | cut -d' ' -f3-4)"
sleep 2
check "without a sound device the program still answers" "sine.wav - Marbleye" "$(drive title)"
drive command 40002 >/dev/null
check "loading another picture closes the media window" "still.bmp - Marbleye none" "$(drive title) $(drive media-window)"
check "nothing plays" "Loaded in " "$(drive status 5 | cut -c1-10)"
check "Save As is enabled again" "enabled unchecked" "$(drive menu-state 40082)"
stop
settings=""
fi
