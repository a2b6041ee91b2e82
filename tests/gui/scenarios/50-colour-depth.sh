# shellcheck shell=bash
echo "== colour depth"
start "$(winpath "$pictures/halves.bmp")"
drive command 40027 >/dev/null
check "Convert to 8bit shows the new depth" $'\t300x200x8' "$(drive status 0)"
check "and greys itself" "grayed unchecked" "$(drive menu-state 40027)"
read -r cw ch <<<"$(drive client-size)"
check "red stays red" "255 0 0" "$(drive pixel $((cw / 2 - 75)) $((ch / 2)))"
drive command 40025 >/dev/null
check "Convert to 4bit" $'\t300x200x4' "$(drive status 0)"
check "blue stays blue" "0 0 255" "$(drive pixel $((cw / 2 + 75)) $((ch / 2)))"
drive command 40068 >/dev/null
check "Convert to 24bit only changes the depth shown" $'\t300x200x24' "$(drive status 0)"
stop
