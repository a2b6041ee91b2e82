# shellcheck shell=bash
echo "== an animated GIF"
animated="$pictures/animated"
mkdir -p "$animated"
# Three 300 x 200 frames of half a second each, looping.
/usr/bin/convert -delay 50 -size 300x200 xc:red xc:blue xc:lime -loop 0 "$animated/anim.gif"
/usr/bin/convert -size 300x200 xc:yellow -type TrueColor "BMP3:$animated/still.bmp"
# The centre colour of each frame as ImageMagick decodes it, in frame order.
frames=()
for i in 0 1 2; do
    frames+=("$(/usr/bin/convert "$animated/anim.gif[$i]" -crop 1x1+150+100 -depth 8 rgb:- | od -An -tu1 | xargs)")
done

start "$(winpath "$animated/anim.gif")"
check "the animation field" "Playing GIF (3 Frames)" "$(drive status 5)"
check "the size field shows one frame" $'\t300x200' "$(drive status 0 | cut -dx -f1-2)"
read -r cw ch <<<"$(drive client-size)"
seen=$(centre_colours 4 40)
# Wherever the first read falls, the frames follow in their order.
cycle=$(IFS='|'; printf '%s' "${frames[*]}|${frames[*]}|${frames[*]}")
check "the frames follow in order" "yes" "$([[ $(tr -cd '|' <<<"$seen" | wc -c) -eq 3 && "|$cycle|" == *"|$seen|"* ]] && echo yes || echo "no: $seen")"
check "Save is greyed while it plays" "grayed unchecked" "$(drive menu-state 204)"
check "Save As is enabled" "enabled unchecked" "$(drive menu-state 40082)"
drive command 40002 >/dev/null
check "Next loads the still picture" "still.bmp - Marbleye" "$(drive title)"
first=$(drive pixel $((cw / 2)) $((ch / 2)))
sleep 0.7
check "which does not change" "255 255 0 255 255 0" "$first $(drive pixel $((cw / 2)) $((ch / 2)))"
check "the animation field gives the load time again" "Loaded in " "$(drive status 5 | cut -c1-10)"
check "Save is enabled again" "enabled unchecked" "$(drive menu-state 204)"
stop
