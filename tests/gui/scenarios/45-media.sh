# shellcheck shell=bash
echo "== video and sound in the media window"
if ! command -v ffmpeg >/dev/null; then
    echo "skip  (no ffmpeg: scripts/install-deps.sh test)"
else
media="$pictures/media"
mkdir -p "$media"
# One second at 10 frames a second: the first frame red above blue, then green.
first_frame="drawbox=x=0:y=0:w=64:h=24:c=red:t=fill:enable='eq(n,0)',drawbox=x=0:y=24:w=64:h=24:c=blue:t=fill:enable='eq(n,0)'"
make_video() {  # FILE CODEC-OPTIONS...
    local file=$1
    shift
    ffmpeg -loglevel error -y -f lavfi -i "color=c=green:s=64x48:r=10:d=1" -vf "$first_frame" "$@" "$file"
}
make_video "$media/raw.avi" -c:v rawvideo -pix_fmt bgr24
make_video "$media/msvideo1.avi" -c:v msvideo1
make_video "$media/mjpeg.avi" -c:v mjpeg -q:v 2
ffmpeg -loglevel error -y -f lavfi -i "sine=frequency=440:duration=1" "$media/sine.wav"
/usr/bin/convert -size 64x48 xc:yellow -type TrueColor "BMP3:$media/still.bmp"
printf 'RIFF\x10\x00\x00\x00AVI LIST, and no more' >"$media/broken.avi"
head -c 3000 "$media/raw.avi" >"$media/cut-short.avi"

# Red, green, blue of frame N of a video at X, Y from the top left, as ffmpeg decodes it.
ffmpeg_pixel() {  # FILE N X Y
    ffmpeg -loglevel error -i "$1" -vf "select=eq(n\\,$2)" -frames:v 1 -f rawvideo -pix_fmt rgb24 - |
        od -An -tu1 -v -j $((($4 * 64 + $3) * 3)) -N 3 | xargs
}
# "near" when two colours differ by at most 8 in every component.
near() {  # "R G B" "R G B"
    local a b
    read -ra a <<<"$1"
    read -ra b <<<"$2"
    for i in 0 1 2; do
        local d=$((a[i] - b[i]))
        [[ ${#a[@]} -eq 3 && ${#b[@]} -eq 3 && ${d#-} -le 8 ]] || { echo "no: [$1] against [$2]"; return; }
    done
    echo near
}

start "$(winpath "$media/raw.avi")"
check "an uncompressed AVI plays in the media window" "Playing Media (1.00 Seconds)" "$(drive status 5)"
check "the picture is its first frame" $'\t64x48x24' "$(drive status 0)"
check "its upper half as ffmpeg reads it" "$(ffmpeg_pixel "$media/raw.avi" 0 10 5)" "$(drive canvas-pixel 10 5)"
check "its lower half, so rows keep their order" "$(ffmpeg_pixel "$media/raw.avi" 0 50 40)" "$(drive canvas-pixel 50 40)"
read -r _ _ width1 height1 bar1 <<<"$(drive media-window)"
check "the media window has its play bar" "bar" "$bar1"
check "Normal Size is checked" "enabled checked" "$(drive menu-state 40071)"
check "Save As and Print are greyed for media" "grayed unchecked grayed unchecked" \
    "$(drive menu-state 40082) $(drive menu-state 205)"
check "Open with the media players instead of the editors" "enabled unchecked grayed unchecked" \
    "$(drive menu-state 40099) $(drive menu-state 40094)"
drive command 40072 >/dev/null
read -r _ _ width2 height2 _ <<<"$(drive media-window)"
check "Double Size doubles the video" "64 48" "$((width2 - width1)) $((height2 - height1))"
check "at a zoom of 200 %" $'\t200%' "$(drive status 1)"
check "and is checked in place of Normal Size" "enabled checked enabled unchecked" \
    "$(drive menu-state 40072) $(drive menu-state 40071)"
read -r cw ch <<<"$(drive client-size)"
check "the window was made to fit it" "yes" "$([[ $cw -ge $width2 ]] && echo yes || echo "no: $cw < $width2")"
drive command 40071 >/dev/null
check "Normal Size shows it at its own size again" "$width1 $height1" "$(drive media-window | cut -d' ' -f3-4)"
drive command 40074 >/dev/null
read -r _ _ width3 height3 bar3 <<<"$(drive media-window)"
check "without the play bar" "nobar" "$bar3"
check "the media window is the video alone" "yes" "$([[ $height3 -lt $height1 && $width3 -eq $width1 ]] && echo yes)"
check "Show VideoPlaybar is unchecked" "enabled unchecked" "$(drive menu-state 40074)"
drive command 40074 >/dev/null
check "and with it again" "bar" "$(drive media-window | cut -d' ' -f5)"
drive command 40073 >/dev/null
check "Fullscreen switches to full screen" "popup" "$(drive window-style | cut -d' ' -f1)"
check "which hides the play bar" "nobar" "$(drive media-window | cut -d' ' -f5)"
drive command 40073 >/dev/null
check "and back" "framed" "$(drive window-style | cut -d' ' -f1)"
check "with the play bar" "bar" "$(drive media-window | cut -d' ' -f5)"
stop

settings='[Video]\r\nLoop=0\r\n'
start "$(winpath "$media/msvideo1.avi")"
check "an MS Video 1 AVI plays" "Playing Media (1.00 Seconds)" "$(drive status 5)"
check "its first frame decoded through the AVI services" "near" \
    "$(near "$(ffmpeg_pixel "$media/msvideo1.avi" 0 10 5)" "$(drive canvas-pixel 10 5)")"
check "below too" "near" "$(near "$(ffmpeg_pixel "$media/msvideo1.avi" 0 50 40)" "$(drive canvas-pixel 50 40)")"
check "without Loop the clip ends" "stopped" "$(wait_for 8 stopped drive media-mode)"
read -r mx my mw _ <<<"$(drive media-window)"
check "the media window shows its last frame" "near" \
    "$(near "$(ffmpeg_pixel "$media/msvideo1.avi" 9 32 24)" "$(drive pixel $((mx + mw / 2)) $((my + 25)))")"
drive command 40075 >/dev/null
check "Loop is checked" "enabled checked" "$(drive menu-state 40075)"
drive command 40022 >/dev/null
check "Reload plays it again" "playing" "$(wait_for 5 playing drive media-mode)"
sleep 2
check "and with Loop it is still playing after its end" "playing" "$(wait_for 2 playing drive media-mode)"
stop

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
