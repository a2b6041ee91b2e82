# shellcheck shell=bash
echo "== videos in the media window"
if ! command -v ffmpeg >/dev/null; then
    echo "skip  (no ffmpeg: scripts/install-deps.sh test)"
else
# shellcheck source=../media-files.sh
source "$here/media-files.sh"
settings=""

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
read -r cw _ <<<"$(drive client-size)"
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

settings=""
fi
