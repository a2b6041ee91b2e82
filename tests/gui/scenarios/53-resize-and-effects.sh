# shellcheck shell=bash
# The Image menu's commands that ask first (Resize, Blur, Pixelize, Sharpen,
# the custom colour reduction) and the effects that run at once, each undone.
edits="$pictures/effects"
mkdir -p "$edits"
cp "$pictures/halves.bmp" "$edits/halves.bmp"
/usr/bin/convert -size 800x200 xc:red -fill blue -draw "rectangle 400,0,799,199" -type TrueColor "BMP3:$edits/wide-halves.bmp"
# Black on the left to white on the right.
/usr/bin/convert -size 200x300 gradient:black-white -rotate 90 -type TrueColor "BMP3:$edits/gradient.bmp"
# Gray 100 beside gray 150: sharpening shows on an edge that is not saturated.
/usr/bin/convert -size 300x200 xc:"rgb(100,100,100)" -fill "rgb(150,150,150)" -draw "rectangle 150,0,299,199" \
    -type TrueColor "BMP3:$edits/soft.bmp"

# The pixels from DX1 to DX2 on the centre row, one "r g b" per line.
row_pixels() { local dx; for ((dx = $1; dx <= $2; ++dx)); do at "$dx" 0; echo; done; }
# The picture's top row in the client area at column DX from the centre: the
# first row, below the toolbar, of the colour the picture has there in its
# middle row, found by halving.
picture_top() { # DX
    local cw ch low high middle colour
    read -r cw ch <<<"$(drive client-size)"
    colour=$(drive pixel $((cw / 2 + $1)) $((ch / 2)))
    low=$(($(drive toolbar-look | cut -d' ' -f1) - 1)) high=$((ch / 2))
    while ((high - low > 1)); do
        middle=$(((low + high) / 2))
        if [[ "$(drive pixel $((cw / 2 + $1)) "$middle")" != "$colour" ]]; then low=$middle; else high=$middle; fi
    done
    echo "$high"
}
undo() { drive command 40079 >/dev/null; }

echo "== resizing"
start "$(winpath "$edits/halves.bmp")"
drive post-command 40049 >/dev/null
check "Resize opens its dialog" "Resize Image" "$(drive dialog-text 0)"
check "with the picture's size" "300 200" "$(drive dialog-text 1020) $(drive dialog-text 1021)"
check "proportions kept" "enabled checked" "$(drive dialog-state 1022)"
check "and Bilinear chosen" "enabled unchecked Bilinear" "$(drive dialog-state 1023)"
drive dialog-set-text 1020 150 >/dev/null
check "a new width gives the height of the same shape" "100" "$(drive dialog-text 1021)"
drive dialog-set-text 1021 50 >/dev/null
check "and a new height the width" "75" "$(drive dialog-text 1020)"
drive dialog-toggle 1022 >/dev/null
drive dialog-set-text 1021 20 >/dev/null
check "without proportions the width stays" "75" "$(drive dialog-text 1020)"
drive dialog-choose 1023 1 >/dev/null
drive dialog-press 1 >/dev/null
check "OK resizes the picture" $'\t75x20x24' "$(drive status 0)"
read -r cw ch <<<"$(drive client-size)"
# The weights' sum falls a hair short of 1 and sums are truncated: 255 may
# come out as 254.
check "the box filter keeps red red" "yes" \
    "$(read -r r g b <<<"$(drive pixel $((cw / 2 - 20)) $(($(picture_top -20) + 10)))"
       ((r >= 254 && g == 0 && b == 0)) && echo yes || echo "no: $r $g $b")"
undo
check "Undo gives back the size" $'\t300x200x24' "$(drive status 0)"
check "and the picture" "255 0 0|0 0 255" "$(at -75 0)|$(at 75 0)"
drive post-command 40049 >/dev/null
check "the dialog opens on Bilinear again, proportions as left" "enabled unchecked Bilinear|enabled unchecked" \
    "$(drive dialog-state 1023)|$(drive dialog-state 1022)"
drive dialog-set-text 1020 600 >/dev/null
drive dialog-press 2 >/dev/null
check "Cancel changes nothing" $'\t300x200x24' "$(drive status 0)"
check "and takes no undo copy" "grayed unchecked" "$(drive menu-state 40079)"
drive post-command 40049 >/dev/null
drive dialog-set-text 1020 99999 >/dev/null
drive dialog-set-text 1021 99999 >/dev/null
drive dialog-press 1 >/dev/null
check "a size beyond memory says so" "Insufficient Memory. Aborting.." "$(drive dialog-text 65535)"
drive dialog-press 1 >/dev/null
check "and the picture stays" $'\t300x200x24' "$(drive status 0)"
drive close >/dev/null
drive wait-gone 20 >/dev/null
check "the dialog's choices are stored" "ConstrainProportions=0 ScaleType=3" \
    "$(grep -a -E '^(ConstrainProportions|ScaleType)=' "$program/Marbleye.ini" | tr -d '\r' | sort | paste -sd' ')"
stop

echo "== blur"
start "$(winpath "$edits/halves.bmp")"
drive post-command 40063 >/dev/null
check "Blur opens its dialog" "Blur Image:" "$(drive dialog-text 0)"
check "with randomization 100 and one pass" "enabled unchecked 100|100|enabled unchecked 1|1" \
    "$(drive dialog-state 1030)|$(drive dialog-text 1031)|$(drive dialog-state 1033)|$(drive dialog-text 1034)"
drive dialog-slider 1033 3 >/dev/null
check "moving a slider shows its value" "3" "$(drive dialog-text 1034)"
drive dialog-press 2 >/dev/null
check "Cancel leaves the picture" "255 0 0|0 0 255" "$(at -1 0)|$(at 0 0)"
drive post-command 40063 >/dev/null
check "the moved slider is remembered" "enabled unchecked 3" "$(drive dialog-state 1033)"
drive dialog-press 1 >/dev/null
check "Blur softens the edge" "yes" \
    "$(row_pixels -4 3 | grep -v -x -e '255 0 0' -e '0 0 255' | grep -q . && echo yes || echo no)"
undo
check "Undo gives back the hard edge" "255 0 0|0 0 255" "$(at -1 0)|$(at 0 0)"
drive close >/dev/null
drive wait-gone 20 >/dev/null
check "the blur settings are stored" "EffBlurRandomization=100 EffBlurRepeatCount=3" \
    "$(grep -a -E '^EffBlur' "$program/Marbleye.ini" | tr -d '\r' | sort | paste -sd' ')"
stop

echo "== pixelize"
start "$(winpath "$edits/halves.bmp")"
drive post-command 40064 >/dev/null
check "Pixelize opens its dialog at width 10" "Pixelize Image:|enabled unchecked 10" \
    "$(drive dialog-text 0)|$(drive dialog-state 1030)"
drive dialog-set-text 1031 64 >/dev/null
drive dialog-press 1 >/dev/null
# Columns 128 to 191 make one block: 22 red and 42 blue columns.
check "a typed width of 64 makes blocks of their average" "$((22 * 255 / 64)) 0 $((42 * 255 / 64))" "$(at 0 0)"
check "the first block stays red" "255 0 0" "$(at -100 0)"
undo
check "Undo" "255 0 0|0 0 255" "$(at -1 0)|$(at 0 0)"
stop

echo "== sharpen"
start "$(winpath "$edits/soft.bmp")"
drive post-command 40081 >/dev/null
check "Sharpen opens its dialog at 70 percent" "Sharpen Image:|enabled unchecked 70" \
    "$(drive dialog-text 0)|$(drive dialog-state 1030)"
drive dialog-press 1 >/dev/null
pixels=$(row_pixels -3 2)
check "the dark side of the edge darkens" "yes" \
    "$(awk '$1 < 100' <<<"$pixels" | grep -q . && echo yes || echo "no: $(paste -sd, <<<"$pixels")")"
check "the light side lightens" "yes" \
    "$(awk '$1 > 150' <<<"$pixels" | grep -q . && echo yes || echo "no: $(paste -sd, <<<"$pixels")")"
check "far from the edge nothing changes" "100 100 100|150 150 150" "$(at -60 0)|$(at 60 0)"
undo
check "Undo" "100 100 100|150 150 150" "$(at -1 0)|$(at 0 0)"
stop

echo "== buttonize and seamless"
start "$(winpath "$edits/halves.bmp")"
read -r cw ch <<<"$(drive client-size)"
left=$((cw / 2 - 150))
top=$(picture_top -75)
drive command 40037 >/dev/null
check "Buttonize lightens the top row by half" "255 127 127" "$(drive pixel $((left + 75)) "$top")"
check "and darkens the bottom row by half" "127 0 0" "$(drive pixel $((left + 75)) $((top + 199)))"
check "and leaves the middle" "255 0 0" "$(drive pixel $((left + 75)) $((top + 100)))"
undo
check "Undo" "255 0 0|255 0 0" "$(drive pixel $((left + 75)) "$top")|$(drive pixel $((left + 75)) $((top + 199)))"
stop

start "$(winpath "$edits/gradient.bmp")"
read -r cw ch <<<"$(drive client-size)"
left=$((cw / 2 - 150))
top=$(picture_top -75)
gray_at() { drive pixel "$1" $((top + 50)) | cut -d' ' -f1; }
check "the gradient's edges are far apart" "255 0" "$(gray_at "$left") $(gray_at $((left + 299)))"
drive command 40065 >/dev/null
check "Seamless Image makes the left and right edges meet" "yes" \
    "$(l=$(gray_at "$left") r=$(gray_at $((left + 299))); ((l - r <= 2 && r - l <= 2)) && echo yes || echo "no: $l $r")"
undo
check "Undo" "255 0" "$(gray_at "$left") $(gray_at $((left + 299)))"
stop

echo "== the custom colour reduction"
start "$(winpath "$edits/halves.bmp")"
drive post-command 40031 >/dev/null
check "Custom opens the dialog on 8 bits" "Quantize/Dither|enabled checked" "$(drive dialog-text 0)|$(drive dialog-state 1041)"
check "with the stored methods" "enabled unchecked Median Cut|enabled unchecked Serpentine Floyd-Steinberg" \
    "$(drive dialog-state 1043)|$(drive dialog-state 1044)"
check "the 16-bit dither greyed, the Bayer box checked and greyed" "disabled unchecked Floyd-Steinberg|disabled checked" \
    "$(drive dialog-state 1045)|$(drive dialog-state 1046)"
drive dialog-toggle 1042 >/dev/null
check "16bit enables its dither and greys the 8-bit lists" "enabled checked|enabled unchecked Floyd-Steinberg|disabled unchecked" \
    "$(drive dialog-state 1042)|$(drive dialog-state 1045)|$(drive dialog-state 1043 | cut -d' ' -f1-2)"
drive dialog-toggle 1040 >/dev/null
check "4bit clears the others" "enabled checked|enabled unchecked|enabled unchecked" \
    "$(drive dialog-state 1040)|$(drive dialog-state 1041)|$(drive dialog-state 1042)"
drive dialog-press 1 >/dev/null
check "OK reduces to 4 bits" $'\t300x200x4' "$(drive status 0)"
undo
check "Undo" $'\t300x200x24' "$(drive status 0)"
drive post-command 40031 >/dev/null
drive dialog-choose 1043 2 >/dev/null
drive dialog-choose 1044 1 >/dev/null
drive dialog-press 1 >/dev/null
check "8 bits with the default palette and ordered dither" $'\t300x200x8' "$(drive status 0)"
drive close >/dev/null
drive wait-gone 20 >/dev/null
check "the dialog's choices are not stored" "Dither8bitDitherType=3 Dither8bitPalGeneration=0" \
    "$(grep -a -E '^Dither8bit' "$program/Marbleye.ini" | tr -d '\r' | sort | paste -sd' ')"
stop

echo "== the fitted picture through the resampler"
# The 800-pixel picture at half size: its edge is the client's middle column.
fitted_edge() { # NAME EXPECTED SETTINGS
    settings=$3
    start "$(winpath "$edits/wide-halves.bmp")"
    read -r cw ch <<<"$(drive client-size)"
    drive set-client-size 400 "$ch" >/dev/null
    check "an 800-pixel picture in a 400-pixel area is shown at about half size" "yes" \
        "$(zoom=$(drive status 1 | tr -dc '0-9'); ((zoom >= 45 && zoom <= 50)) && echo yes || echo "no: $zoom")"
    check "$1" "$2" \
        "$(row_pixels -3 3 | grep -v -x -e '255 0 0' -e '0 0 255' | grep -q . && echo blended || echo hard)"
    stop
}
fitted_edge "bilinear shrinking blends the edge" blended '[Appearance]\r\nViewStyle=1\r\n'
fitted_edge "the system's stretch keeps it hard" hard '[Appearance]\r\nViewStyle=1\r\n[ThumbNails]\r\nThumbScaleType=0\r\n'
settings=""
