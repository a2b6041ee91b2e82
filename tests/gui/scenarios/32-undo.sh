# shellcheck shell=bash
echo "== undo"
edits="$pictures/edits"
mkdir -p "$edits"
cp "$pictures/halves.bmp" "$edits/a-halves.bmp"
/usr/bin/convert -size 300x200 xc:red -fill blue -draw "rectangle 0,100,299,199" -type TrueColor "BMP3:$edits/b-stacked.bmp"
# Quarters of red, lime, blue and white.
/usr/bin/convert -size 400x200 xc:white -fill red -draw "rectangle 0,0,99,199" -fill lime -draw "rectangle 100,0,199,199" \
    -fill blue -draw "rectangle 200,0,299,199" -type TrueColor "BMP3:$edits/c-quarters.bmp"
# Thirds of red, lime and blue, with the alpha values 0, 64 and 200: the PNG
# reader composites them, the TGA reader keeps them in the fourth byte.
/usr/bin/convert -size 300x200 "xc:rgba(255,0,0,0)" -fill "rgba(0,255,0,0.25098)" -draw "rectangle 100,0,199,199" \
    -fill "rgba(0,0,255,0.784314)" -draw "rectangle 200,0,299,199" "PNG32:$edits/d-alpha.png"
/usr/bin/convert "$edits/d-alpha.png" "TGA:$edits/e-alpha.tga"

undo_file() { [[ -e "$(windows_folder)/~mbundo.tmp" ]] && echo present || echo absent; }
gray() { local r g b; read -r r g b <<<"$1"; [[ $r == "$g" && $g == "$b" ]] && echo gray || echo "not gray: $1"; }

start "$(winpath "$edits/a-halves.bmp")"
check "Undo is greyed at first" "grayed unchecked" "$(drive menu-state 40079)"
check "and its button disabled" "disabled released" "$(drive toolbar-state 40079)"
check "no undo file" "absent" "$(undo_file)"
drive command 40021 >/dev/null
check "Grayscale makes an 8-bit picture" $'\t300x200x8' "$(drive status 0)"
left=$(at -75 0)
right=$(at 75 0)
check "the red half turns gray" "gray" "$(gray "$left")"
check "the blue half turns gray" "gray" "$(gray "$right")"
check "a darker gray" "yes" "$(read -r l _ <<<"$left"; read -r r _ <<<"$right"; [[ $r -lt $l ]] && echo yes || echo "no: $left / $right")"
check "Undo is enabled" "enabled unchecked" "$(drive menu-state 40079)"
check "and its button" "enabled released" "$(drive toolbar-state 40079)"
check "the undo file is written" "present" "$(undo_file)"
drive command 40079 >/dev/null
check "Undo brings the red back" "255 0 0" "$(at -75 0)"
check "and the blue" "0 0 255" "$(at 75 0)"
check "with the depth of before" $'\t300x200x24' "$(drive status 0)"
check "Undo is greyed again" "grayed unchecked" "$(drive menu-state 40079)"
check "the undo file is gone" "absent" "$(undo_file)"

echo "== undo after two operations"
drive command 40021 >/dev/null
drive command 40020 >/dev/null
check "Invert changes the gray" "yes" "$(inverted=$(at -75 0); [[ $inverted != "$left" ]] && echo yes || echo "no: $inverted")"
drive command 40079 >/dev/null
check "Undo gives back the gray of the first operation" "$left" "$(at -75 0)"
check "at its depth" $'\t300x200x8' "$(drive status 0)"
check "one level only" "grayed unchecked" "$(drive menu-state 40079)"
stop

echo "== undoing a rotation"
start "$(winpath "$edits/a-halves.bmp")"
drive command 40011 >/dev/null
check "Rotate left turns the size" $'\t200x300x24' "$(drive status 0)"
check "the red left half comes to the bottom" "255 0 0" "$(at 0 75)"
check "the blue right half to the top" "0 0 255" "$(at 0 -75)"
drive command 40079 >/dev/null
check "Undo gives back the size" $'\t300x200x24' "$(drive status 0)"
check "and the halves" "255 0 0|0 0 255" "$(at -75 0)|$(at 75 0)"
drive command 40012 >/dev/null
check "Rotate right" $'\t200x300x24' "$(drive status 0)"
check "brings the red half to the top" "255 0 0|0 0 255" "$(at 0 -75)|$(at 0 75)"
drive command 40079 >/dev/null
check "Undo of Rotate right" $'\t300x200x24' "$(drive status 0)"
check "gives back the halves" "255 0 0|0 0 255" "$(at -75 0)|$(at 75 0)"

echo "== mirror and flip"
drive command 40006 >/dev/null
check "Mirror swaps left and right" "0 0 255|255 0 0" "$(at -75 0)|$(at 75 0)"
drive command 40002 >/dev/null
check "the next picture is red above blue" "255 0 0|0 0 255" "$(at 0 -50)|$(at 0 50)"
check "loading it forgets the undo" "grayed unchecked" "$(drive menu-state 40079)"
check "and removes the undo file" "absent" "$(undo_file)"
drive command 40005 >/dev/null
check "Flip swaps top and bottom" "0 0 255|255 0 0" "$(at 0 -50)|$(at 0 50)"
stop

echo "== colour channels"
start "$(winpath "$edits/c-quarters.bmp")"
quarters() { printf '%s|%s|%s|%s' "$(at -150 0)" "$(at -50 0)" "$(at 50 0)" "$(at 150 0)"; }
check "red, lime, blue and white" "255 0 0|0 255 0|0 0 255|255 255 255" "$(quarters)"
channel_check() {  # ID NAME EXPECTED
    drive command "$1" >/dev/null
    check "$2" "$3" "$(quarters)"
    drive command 40079 >/dev/null
}
channel_check 40017 "Red Channel keeps the red only" "255 0 0|0 0 0|0 0 0|255 0 0"
channel_check 40018 "Green Channel keeps the green only" "0 0 0|0 255 0|0 0 0|0 255 0"
channel_check 40019 "Blue Channel keeps the blue only" "0 0 0|0 0 0|0 0 255|0 0 255"
channel_check 40035 "RGB->BGR swaps red and blue" "0 0 255|0 255 0|255 0 0|255 255 255"
channel_check 40036 "RGB->GRB swaps red and green" "0 255 0|255 0 0|0 0 255|255 255 255"
channel_check 40038 "RGB->RBG swaps green and blue" "255 0 0|0 0 255|0 255 0|255 255 255"
channel_check 40020 "Invert" "0 255 255|255 0 255|255 255 0|0 0 0"
check "each Undo gave the picture back" "255 0 0|0 255 0|0 0 255|255 255 255" "$(quarters)"
check "the alpha commands are greyed on a 24-bit picture" "grayed unchecked|grayed unchecked" \
    "$(drive menu-state 40090)|$(drive menu-state 40092)"
drive command 40002 >/dev/null
check "the next picture is the PNG with alpha" "d-alpha.png - Marbleye" "$(drive title)"
check "on a 32-bit canvas the alpha commands are enabled" "enabled unchecked|enabled unchecked" \
    "$(drive menu-state 40090)|$(drive menu-state 40092)"
drive command 40002 >/dev/null
check "the next picture is the TGA with alpha" $'e-alpha.tga - Marbleye\t300x200x32' "$(drive title)$(drive status 0)"
# The alpha of each third as ImageMagick reads it.
alphas=()
for x in 50 150 250; do
    read -r _ _ _ alpha <<<"$(/usr/bin/convert "$edits/e-alpha.tga" -crop 1x1+$x+100 -depth 8 rgba:- | od -An -tu1)"
    alphas+=("$alpha $alpha $alpha")
done
thirds() { printf '%s|%s|%s' "$(at -100 0)" "$(at 0 0)" "$(at 100 0)"; }
check "the TGA shows its colours" "255 0 0|0 255 0|0 0 255" "$(thirds)"
drive command 40092 >/dev/null
check "Alpha as layer grays where there is alpha" "255 0 0|${alphas[1]}|${alphas[2]}" "$(thirds)"
drive command 40079 >/dev/null
check "Undo gives back the colours" "255 0 0|0 255 0|0 0 255" "$(thirds)"
drive command 40022 >/dev/null
drive command 40090 >/dev/null
check "Alpha as image shows the alpha as gray" "${alphas[0]}|${alphas[1]}|${alphas[2]}" "$(thirds)"
stop
