# shellcheck shell=bash
echo "== MNG animations and the colour profile they need"
animations="$pictures/mng"
mkdir -p "$animations"
# Three 300 x 200 frames of half a second each, looping.
/usr/bin/convert -delay 50 -size 300x200 xc:red xc:blue xc:lime -loop 0 "$animations/anim.mng"
/usr/bin/convert -size 300x200 xc:yellow -type TrueColor "BMP3:$animations/still.bmp"
frames=()
for i in 0 1 2; do
    frames+=("$(/usr/bin/convert "$animations/anim.mng[$i]" -crop 1x1+150+100 -depth 8 rgb:- | od -An -tu1 | xargs)")
done

start "$(winpath "$animations/anim.mng")"
check "the animation field" "Playing MNG (3 Frames, 4 Layers)" "$(drive status 5)"
check "the size field" $'\t300x200x24' "$(drive status 0)"
read -r cw ch <<<"$(drive client-size)"
seen=$(centre_colours 4 60)
# Wherever the first look falls, the frames follow in their order and the
# first comes again after the last.
cycle=$(IFS='|'; printf '%s' "${frames[*]}|${frames[*]}|${frames[*]}")
check "the frames follow in order" "yes" "$([[ $(tr -cd '|' <<<"$seen" | wc -c) -eq 3 && "|$cycle|" == *"|$seen|"* ]] && echo yes || echo "no: $seen")"
drive command 40002 >/dev/null
check "Next loads the still picture" "still.bmp - Marbleye" "$(drive title)"
first=$(drive pixel $((cw / 2)) $((ch / 2)))
sleep 0.7
check "which the animation no longer paints over" "255 255 0 255 255 0" "$first $(drive pixel $((cw / 2)) $((ch / 2)))"
check "the animation field gives the load time again" "Loaded in " "$(drive status 5 | cut -c1-10)"
# Without the profile beside the program the picture is not shown.
rm -f "$program/sRGB.icm"
drive command 40003 >/dev/null
check "Previous goes back to the animation" "anim.mng - Marbleye" "$(drive title)"
check "which now gives the error picture" $'\t500x200x-1' "$(drive status 0)"
check "naming the missing profile" "0" "$(drive error-picture "anim.mng: Need file \"sRGB.icm\" !")"
check "and nothing plays" "Loaded in " "$(drive status 5 | cut -c1-10)"
stop
