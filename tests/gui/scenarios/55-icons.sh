# shellcheck shell=bash
# Icons as the program shows them (loaded by the system as 32 x 32 icons and
# drawn on white) and as the command-line tool converts them with the core's
# own decoder: the same pictures, pixel for pixel.
icons="$pictures/icons"
mkdir -p "$icons"
cli="$win32/../cli/marbleye-cli"
magick=/usr/bin/convert
graded() { $magick -size "$1" gradient:'rgb(200,30,60)'-'rgb(10,90,220)' -alpha set -channel A -fx 'i/w*j/h' +channel "${@:2}"; }
few() {
    $magick -size 32x32 xc:none +antialias -fill red -draw 'rectangle 2,3,20,12' -fill 'rgb(0,0,200)' \
        -draw 'circle 20,20 28,26' -fill 'rgb(0,160,40)' -draw 'line 0,31 31,16' "$@"
}
png() { "$@" -depth 8 -define png:color-type=6 "$icons/$name.png"; }
icon() { icotool -c "$@" -o "$icons/$name.ico" 2>/dev/null; }

name=graded32; png graded 32x32; icon -b 32 "$icons/$name.png"
name=graded16; png graded 16x16; icon -b 32 "$icons/$name.png"
# 48 and 40 pixels shrink: the pixels that meet in one are combined.
name=graded48; png graded 48x48; icon -b 32 "$icons/$name.png"
name=few40; png few -sample 40x40; icon -b 8 "$icons/$name.png"
name=few4; png few; icon -b 4 "$icons/$name.png"
name=few8; png few; icon -b 8 "$icons/$name.png"
name=few24; png few; icon -b 24 "$icons/$name.png"
name=few20; png few -sample 20x20; icon -b 8 "$icons/$name.png"
# A PNG with an alpha channel stored as it is (Wine 8 shows PNG images
# without one with red and blue exchanged, and refuses 16-bit ones, so
# those are left out).
name=raw32; png graded 32x32; icon -r "$icons/$name.png"
# Several sizes and depths: the system's choice.
name=several; icon "$icons/few20.png" "$icons/graded48.png" "$icons/few4.png" "$icons/graded16.png"
# An icon with its mask rows cut off is refused.
head -c 2000 "$icons/graded32.ico" >"$icons/cut.ico"
names=(graded32 graded16 graded48 few40 few4 few8 few24 few20 raw32 several)

# The core's picture: "r g b" of pixel X Y.
core_pixel() { # NAME X Y
    sed -n "s/^$2,$3: (\([0-9]*\),\([0-9]*\),\([0-9]*\)).*/\1 \2 \3/p" "$icons/$1.txt"
}

echo "== icons: the program and the core agree"
# The program converts to PPM, which keeps 24 bits (a bitmap would be
# written at the 4 bits an icon reports).
fresh_program
for name in "${names[@]}"; do
    "$cli" convert "$icons/$name.ico" "$icons/$name.ppm" >/dev/null 2>&1
    $magick "$icons/$name.ppm" -depth 8 txt:- >"$icons/$name.txt" 2>/dev/null
    code=$(cd "$program" &&
        drive run 60 "Marbleye.exe.so -c=\"$(winpath "$icons/$name-program.ppm")\" \"$(winpath "$icons/$name.ico")\"")
    check "$name: the program converts it" "0" "$code"
    check "$name: to the picture the core makes" "same" \
        "$(cmp -s <($magick "$icons/$name.ppm" rgb:- 2>/dev/null) <($magick "$icons/$name-program.ppm" rgb:- 2>/dev/null) &&
            echo same || echo "different")"
done

echo "== icons in the viewer"
start "$(winpath "$icons/graded32.ico")"
check "an icon is 32 x 32, reported as 4 bits" $'\t32x32x4' "$(drive status 0)"
# The window is sized for the picture, at its smallest; room around the icon.
drive set-client-size 400 300 >/dev/null
read -r cw ch <<<"$(drive client-size)"
x0=$(((cw - 32) / 2))
# The picture's top row: the first row below the centre's black band whose
# pixels are the icon's.
y0=""
for ((y = ch / 2 - 48; y < ch / 2 + 16; ++y)); do
    if [[ "$(drive pixel $((x0 + 31)) "$y")" == "$(core_pixel graded32 31 0)" &&
        "$(drive pixel $((x0 + 31)) $((y + 31)))" == "$(core_pixel graded32 31 31)" ]]; then
        y0=$y
        break
    fi
done
check "the icon is found in the window" "yes" "$([[ -n "$y0" ]] && echo yes || echo no)"
for name in "${names[@]}"; do
    if [[ "$name" != graded32 ]]; then
        drive drop "$(winpath "$icons/$name.ico")" >/dev/null
        drive set-client-size 400 300 >/dev/null
    fi
    check "$name: shown at 32 x 32" $'\t32x32x4' "$(drive status 0)"
    differing=""
    for y in 0 6 13 19 26 31; do
        for x in 0 3 10 17 24 31; do
            [[ "$(drive pixel $((x0 + x)) $((${y0:-0} + y)))" == "$(core_pixel "$name" $x $y)" ]] ||
                differing+=" $x,$y"
        done
    done
    check "$name: the viewer shows the core's pixels" "" "$differing"
done
drive drop "$(winpath "$icons/cut.ico")" >/dev/null
check "a cut icon gives the error picture" $'\t500x200x-1' "$(drive status 0)"
check "with the reader's message" "0" "$(drive error-picture "cut.ico: Couldn't load Iconfile!")"
stop
check "the core refuses the cut icon too" "Couldn't load Iconfile!" \
    "$("$cli" convert "$icons/cut.ico" "$icons/cut.ppm" 2>&1 | grep -o "Couldn't load Iconfile!")"
