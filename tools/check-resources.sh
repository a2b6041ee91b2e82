#!/usr/bin/env bash
# Checks the bitmaps make-resources makes, read back with ImageMagick, against
# what the program needs of them: the sizes its toolbar and menus expect,
# 8-bit palette files (LR_LOADMAP3DCOLORS maps only colour tables), exactly
# 192 grey wherever a theme icon leaves the button uncovered, and the theme's
# own colours wherever it covers it. A missing theme icon must stop the tool.
# Usage: check-resources.sh MAKE-RESOURCES TANGO-THEME-FOLDER
set -euo pipefail
tool=$1
theme=$2
command -v convert >/dev/null || { echo "ImageMagick's convert is missing: skipped"; exit 77; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$tool" "$work/out" "$theme"
out=$work/out
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# The toolbar has 23 button images side by side.
images=23

# One line per pixel, row by row: r g b, or r g b a with alpha.
rgb_of() { convert "$1" -depth 8 rgb:- | od -An -v -tu1 -w3; }
rgba_of() { convert "$1" -depth 8 rgba:- | od -An -v -tu1 -w4; }

# The bits per pixel field of the bitmap's information header.
bits_of() { od -An -tu2 -j28 -N2 "$1" | tr -d ' '; }

check_layout() {
    local file=$1 width=$2 height=$3
    local size
    size=$(identify -format '%w %h' "$file")
    [[ $size == "$width $height" ]] || fail "$(basename "$file") is $size pixels, not $width $height"
    [[ $(bits_of "$file") == 8 ]] || fail "$(basename "$file") has $(bits_of "$file") bits per pixel, not 8"
}

# Pixels of a strip that no icon may touch (awk condition on x and y) must be
# exactly 192 grey, and every button image must show something.
check_strip() {
    local file=$1 width=$2 height=$3 padding=$4
    check_layout "$file" $((width * images)) "$height"
    local report
    report=$(rgb_of "$file" | awk -v W=$((width * images)) -v w="$width" -v n=$images "
        { x = (NR - 1) % W; y = int((NR - 1) / W); slot = int(x / w); x -= slot * w
          face = \$1 == 192 && \$2 == 192 && \$3 == 192
          if (!face) shown[slot]++
          if (($padding) && !face) bad++ }
        END { for (i = 0; i < n; ++i) if (shown[i] < 20) print \"button image \" i \" is nearly empty\"
              if (bad) print bad \" padding pixels are not 192 grey\" }")
    [[ -z $report ]] || fail "$(basename "$file"): $report"
}

# Compares a picture with the theme icon it shows: where the icon's coverage
# is 0 the picture must be exactly 192 grey, where it is full the icon's own
# colour up to what a 256-colour palette costs (at most 40 in any channel,
# 8 on average).
compare_with_icon() {
    local picture=$1 icon=$2 name=$3
    local report
    report=$(paste -d' ' <(rgb_of "$picture") <(rgba_of "$icon") | awk '
        $7 == 0 && !($1 == 192 && $2 == 192 && $3 == 192) { uncovered++ }
        $7 == 255 { for (c = 1; c <= 3; ++c) { d = $c - $(c + 3); d = d < 0 ? -d : d
                                                if (d > worst) worst = d; sum += d; count++ } }
        END { if (uncovered) print uncovered " uncovered pixels are not 192 grey"
              if (count == 0) print "the icon covers no pixel"
              else if (worst > 40 || sum / count > 8) print "colours differ by up to " worst ", " sum / count " on average" }')
    [[ -z $report ]] || fail "$name: $report"
}

# The icon at (left, top) of a strip's button image.
button_image() {
    local strip=$1 size=$2 left=$3 target=$4
    convert "$strip" -crop "${size}x${size}+${left}+0" +repage "$target"
}

check_strip "$out/toolbar16.bmp" 16 16 0
check_strip "$out/toolbar18.bmp" 18 16 'x == 0 || x == 17'
check_strip "$out/toolbar24.bmp" 24 24 0
check_strip "$out/toolbar25.bmp" 25 25 'x == 24 || y == 24'

# Button image 0 is Open, 12 is Next: the theme's document-open and go-next.
for entry in "0 actions/document-open" "12 actions/go-next"; do
    read -r index icon <<<"$entry"
    button_image "$out/toolbar16.bmp" 16 $((index * 16)) "$work/b16.png"
    compare_with_icon "$work/b16.png" "$theme/16x16/$icon.png" "toolbar16 image $index"
    button_image "$out/toolbar18.bmp" 16 $((index * 18 + 1)) "$work/b18.png"
    compare_with_icon "$work/b18.png" "$theme/16x16/$icon.png" "toolbar18 image $index"
    button_image "$out/toolbar24.bmp" 24 $((index * 24)) "$work/b24.png"
    compare_with_icon "$work/b24.png" "$theme/24x24/$icon.png" "toolbar24 image $index"
    button_image "$out/toolbar25.bmp" 24 $((index * 25)) "$work/b25.png"
    compare_with_icon "$work/b25.png" "$theme/24x24/$icon.png" "toolbar25 image $index"
done

for menu in "$out"/menu*.bmp; do check_layout "$menu" 13 13; done
# Menu picture 160 is Open: document-open scaled by area averaging, which
# ImageMagick's -scale also does.
convert "$theme/16x16/actions/document-open.png" -scale 13x13 "$work/open13.png"
compare_with_icon "$out/menu160.bmp" "$work/open13.png" "menu160"

check_layout "$out/toolbar-pattern.bmp" 32 32

mkdir "$work/empty-theme"
if "$tool" "$work/missing" "$work/empty-theme" 2>"$work/stderr"; then
    fail "make-resources succeeded without the theme"
elif ! grep -q "missing $work/empty-theme/16x16/" "$work/stderr"; then
    fail "make-resources did not name the missing icon: $(head -1 "$work/stderr")"
fi

if ((failures)); then
    echo "$failures checks failed"
    exit 1
fi
echo "resource pictures: all checks passed"
