# shellcheck shell=bash
echo "== the folder is listed in the system's name order"
order="$pictures/order"
mkdir -p "$order"
for name in _x.bmp 10.bmp 9.bmp ab.bmp a-b.bmp B.bmp; do cp "$pictures/green.bmp" "$order/$name"; done
/usr/bin/convert "$pictures/green.bmp" "PNG24:$order/b.png"
start "$(winpath "$order/_x.bmp")"
seen="$(drive title)"
for _ in 1 2 3 4 5 6; do drive command 40002 >/dev/null; seen="$seen|$(drive title)"; done
check "symbols, digits, then letters; case and hyphens decide last" \
    "_x.bmp - Marbleye|10.bmp - Marbleye|9.bmp - Marbleye|ab.bmp - Marbleye|a-b.bmp - Marbleye|B.bmp - Marbleye|b.png - Marbleye" "$seen"
stop
