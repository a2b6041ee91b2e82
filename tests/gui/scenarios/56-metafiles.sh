# shellcheck shell=bash
# Metafiles exported by Inkscape, played by the system into a white canvas:
# an enhanced metafile, a placeable one (with its checksum right and wrong),
# the Windows 3.x metafile inside it on its own, and the metafile preview of
# an EPS file. The command-line tool has no metafile player and says so.
echo "== metafiles"
if [[ ! -x /usr/bin/inkscape ]]; then
    echo "      (skipped: /usr/bin/inkscape is not installed)"
    return 0
fi
metafiles="$pictures/metafiles"
mkdir -p "$metafiles"
cli="$win32/../cli/marbleye-cli"

# A red block, a blue block and a green triangle on nothing, in a 240 x 160
# drawing shown at WIDTH x HEIGHT pixels of 1/96 inch.
drawing() { # WIDTH HEIGHT
    cat <<EOF
<svg xmlns="http://www.w3.org/2000/svg" width="$1" height="$2" viewBox="0 0 240 160">
<rect x="20" y="20" width="80" height="50" fill="#ff0000"/>
<rect x="140" y="80" width="80" height="60" fill="#0000ff"/>
<polygon points="20,140 100,140 60,90" fill="#00a000"/>
</svg>
EOF
}
export_as() { # SVG TYPE FILE
    HOME="$metafiles" /usr/bin/inkscape --export-type="$2" --export-filename="$metafiles/$3" "$metafiles/$1" \
        >/dev/null 2>&1
}
drawing 240 160 >"$metafiles/drawing.svg"
# Inkscape's enhanced metafiles count in pixels of 1/1200 inch: a tenth of
# the size comes out a little larger than the placeable one on the screen.
drawing 24 16 >"$metafiles/small.svg"
export_as drawing.svg wmf placeable.wmf
export_as small.svg emf enhanced.emf
tail -c +23 "$metafiles/placeable.wmf" >"$metafiles/plain.wmf"
# The stored checksum (bytes 20 and 21) changed.
{
    head -c 20 "$metafiles/placeable.wmf"
    printf '\x12\x34'
    tail -c +23 "$metafiles/placeable.wmf"
} >"$metafiles/odd.wmf"
head -c 300 "$metafiles/enhanced.emf" >"$metafiles/cut.emf"
printf 'plain text, not a metafile' >"$metafiles/text.wmf"

le32() { # VALUE: four bytes, least significant first
    local v=$1
    printf "$(printf '\\x%02x\\x%02x\\x%02x\\x%02x' $((v & 255)) $(((v >> 8) & 255)) $(((v >> 16) & 255)) $(((v >> 24) & 255)))"
}
# The enhanced metafile with the right and bottom of its header's bounds
# (bytes 16 to 23) replaced.
with_bounds() { # RIGHT BOTTOM FILE
    {
        head -c 16 "$metafiles/enhanced.emf"
        le32 "$1"
        le32 "$2"
        tail -c +25 "$metafiles/enhanced.emf"
    } >"$metafiles/$3"
}
with_bounds 0 235 flat.emf
with_bounds 200000 200000 huge.emf
# The EPS binary header: C5 D0 D3 C6, the PostScript part's offset and
# length, the metafile's, the TIFF preview's (none), checksum FFFF; then the
# PostScript and the metafile.
eps_around() { # METAFILE EPS
    local postscript=$'%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 180 120\nshowpage\n%%EOF\n'
    local length
    length=$(stat -c %s "$1")
    {
        printf '\xc5\xd0\xd3\xc6'
        le32 30
        le32 ${#postscript}
        le32 $((30 + ${#postscript}))
        le32 "$length"
        le32 0
        le32 0
        printf '\xff\xff%s' "$postscript"
        cat "$1"
    } >"$2"
}
eps_around "$metafiles/placeable.wmf" "$metafiles/preview.eps"

# The top row of a picture HEIGHT high whose middle column is white at the
# top: the first white pixel of the client's middle column, found by halving
# the range around the centre.
picture_top() { # HEIGHT
    local cw ch low high middle
    read -r cw ch <<<"$(drive client-size)"
    low=$((ch / 2 - $1)) high=$((ch / 2))
    while ((high - low > 1)); do
        middle=$(((low + high) / 2))
        if [[ "$(drive pixel $((cw / 2)) "$middle")" == "255 255 255" ]]; then high=$middle; else low=$middle; fi
    done
    printf '%s' "$high"
}
# Whether a colour is near an expected one (GDI may blend an edge).
near() { # "R G B" "R G B"
    local a b
    read -r -a a <<<"$1"
    read -r -a b <<<"$2"
    for i in 0 1 2; do (((a[i] - b[i]) ** 2 > 24 ** 2)) && return 1; done
    return 0
}
# Checks the drawing in the window: its size from the status bar, then the
# colours in the middle of each shape and of the empty parts. CONTENT is the
# width the 240 units of the drawing take in the picture.
expect_drawing() { # NAME CONTENT
    local size width height cw ch x0 y0 wrong=""
    size=$(drive status 0)
    check "$1: a 24-bit picture" "yes" "$([[ "$size" =~ ^$'\t'[0-9]+x[0-9]+x24$ ]] && echo yes || echo "no: $size")"
    IFS=x read -r width height _ <<<"${size#$'\t'}"
    drive set-client-size $((width + 200)) $((height + 160)) >/dev/null
    read -r cw ch <<<"$(drive client-size)"
    x0=$(((cw - width) / 2))
    y0=$(picture_top "$height")
    local point sx sy colour
    for point in "60 45 255,0,0" "180 110 0,0,255" "60 125 0,160,0" "180 30 255,255,255" "20 85 255,255,255" \
        "120 80 255,255,255"; do
        read -r sx sy colour <<<"$point"
        near "$(drive pixel $((x0 + sx * $2 / 240)) $((y0 + sy * $2 / 240)))" "${colour//,/ }" || wrong+=" $sx,$sy"
    done
    check "$1: the shapes where the drawing has them, on white" "" "$wrong"
}

echo "== metafiles in the viewer"
start "$(winpath "$metafiles/placeable.wmf")"
check "a placeable metafile at its size on the screen" $'\t220x140x24' "$(drive status 0)"
expect_drawing placeable.wmf 240
drive drop "$(winpath "$metafiles/enhanced.emf")" >/dev/null
expect_drawing enhanced.emf 300
drive drop "$(winpath "$metafiles/plain.wmf")" >/dev/null
size=$(drive status 0)
check "a Windows 3.x metafile of its own loads" "yes" \
    "$([[ "$size" =~ ^$'\t'[0-9]+x[0-9]+x24$ ]] && echo yes || echo "no: $size")"
drive drop "$(winpath "$metafiles/preview.eps")" >/dev/null
check "an EPS file's metafile preview is played" $'\t220x140x24' "$(drive status 0)"
expect_drawing preview.eps 240
for failure in "cut.emf:Unable to load Enhanced Metafile (EMF)" "text.wmf:Unable to load Windows 3.x Metafile" \
    "flat.emf:Invalid Width/Height found!" "huge.emf:Invalid Width/Height found!"; do
    drive drop "$(winpath "$metafiles/${failure%%:*}")" >/dev/null
    check "${failure%%:*} gives the error picture" $'\t500x200x-1' "$(drive status 0)"
    check "${failure%%:*}: ${failure#*:}" "0" "$(drive error-picture "${failure%%:*}: ${failure#*:}")"
done
stop

echo "== a placeable metafile with a wrong checksum"
start "$(winpath "$metafiles/odd.wmf")"
check "the information box says so" "LPM: Placeable metafile checksum mismatch" "$(drive dialog-text 65535)"
check "under the program's caption" "Marbleye" "$(drive dialog-text 0)"
drive dialog-press 1 >/dev/null
check "and the picture loads after it" $'\t220x140x24' "$(wait_for 10 $'\t220x140x24' drive status 0)"
expect_drawing odd.wmf 240
stop

echo "== metafiles in the command-line tool"
for name in placeable.wmf enhanced.emf preview.eps; do
    check "$name: the tool has no metafile player" "yes" \
        "$("$cli" convert "$metafiles/$name" "$metafiles/out.ppm" 2>&1 | grep -q 'shown by the Windows program only' &&
            echo yes || echo no)"
done
