# shellcheck shell=bash
echo "== a folder with one picture"
single="$pictures/single"
mkdir -p "$single"
/usr/bin/convert -size 300x200 xc:red -type TrueColor "BMP3:$single/only.bmp"
settings='[ToolBar]\r\nButtonActive16=1\r\n'
start "$(winpath "$single/only.bmp")"
check "its position" $'\t1/1' "$(drive status 3)"
for item in 40002:Next 40003:Previous 40028:First 40029:Last 40030:Random 40004:Slideshow; do
    check "$(cut -d: -f2 <<<"$item") is greyed" "grayed unchecked" "$(drive menu-state "${item%%:*}")"
done
for item in 40002:Next 40003:Previous 40004:Slideshow; do
    check "the $(cut -d: -f2 <<<"$item") button is disabled" "disabled released" "$(drive toolbar-state "${item%%:*}")"
done
read -r cw ch <<<"$(drive client-size)"
check "the picture is red" "255 0 0" "$(drive pixel $((cw / 2)) $((ch / 2)))"
# The file changes on disk: a Next that reloads it shows the new colour.
/usr/bin/convert -size 300x200 xc:blue -type TrueColor "BMP3:$single/only.bmp"
drive command 40002 >/dev/null
check "Next sent anyway reloads the same file" "only.bmp - Marbleye 0 0 255" "$(drive title) $(drive pixel $((cw / 2)) $((ch / 2)))"
check "which stays the only one" $'\t1/1' "$(drive status 3)"
stop

echo "== a folder with two pictures"
/usr/bin/convert -size 300x200 xc:lime -type TrueColor "BMP3:$single/other.bmp"
start "$(winpath "$single/only.bmp")"
for item in 40002:Next 40003:Previous 40028:First 40029:Last 40030:Random 40004:Slideshow; do
    check "$(cut -d: -f2 <<<"$item") is enabled" "enabled unchecked" "$(drive menu-state "${item%%:*}")"
done
for item in 40002:Next 40003:Previous 40004:Slideshow; do
    check "the $(cut -d: -f2 <<<"$item") button is enabled" "enabled released" "$(drive toolbar-state "${item%%:*}")"
done
drive command 40002 >/dev/null
check "Next goes to the other picture" "other.bmp - Marbleye" "$(drive title)"
stop
