# shellcheck shell=bash
echo "== pictures read and written through the image libraries"
library="$pictures/library"
mkdir -p "$library"
/usr/bin/convert "$pictures/halves.bmp" "PNG24:$library/halves.png"
/usr/bin/convert "$pictures/halves.bmp" -quality 95 "$library/halves.jpg"
start "$(winpath "$library/halves.png")"
check "a PNG" $'\t300x200x24' "$(drive status 0)"
read -r cw ch <<<"$(drive client-size)"
check "its left half is red" "255 0 0" "$(drive pixel $((cw / 2 - 75)) $((ch / 2)))"
drive command 40002 >/dev/null
check "the next picture is the JPEG" "halves.jpg - Marbleye" "$(drive title)"
check "a JPEG" $'\t300x200x24' "$(drive status 0)"
read -r red green blue <<<"$(drive pixel $((cw / 2 + 75)) $((ch / 2)))"
check "its right half is blue" "yes" "$([[ $red -lt 8 && $green -lt 8 && $blue -gt 247 ]] && echo yes || echo "no: $red $green $blue")"
stop
fresh_program
printf '[SaveAs]\r\nTIFCompression=4\r\n' >"$program/Marbleye.ini"
# By its full path: a bare name would find the build folder's copy first,
# which sits beside the driver.
code=$(cd "$program" && drive run 60 "\"$(winpath "$program/Marbleye.exe.so")\" -c=\"$(winpath "$work/converted.tif")\" \"$(winpath "$pictures/halves.bmp")\"")
check "-c writes a TIFF" "0" "$code"
check "with the compression of the settings" "yes" "$(/usr/bin/tiffinfo "$work/converted.tif" 2>/dev/null | grep -q 'Compression Scheme: LZW' && echo yes)"
check "holding the picture" "$(cmp -s <(/usr/bin/convert "$pictures/halves.bmp" rgb:-) <(/usr/bin/convert "$work/converted.tif" rgb:-) && echo same)" "same"
