# shellcheck shell=bash
echo "== a picture"
start "$(winpath "$pictures/halves.bmp")"
check "title" "halves.bmp - Marbleye" "$(drive title)"
check "size field" $'\t300x200x24' "$(drive status 0)"
check "zoom field" $'\t100%' "$(drive status 1)"
check "position field" $'\t3/4' "$(drive status 3)"
read -r cw ch <<<"$(drive client-size)"
check "left half is red" "255 0 0" "$(drive pixel $((cw / 2 - 75)) $((ch / 2)))"
check "right half is blue" "0 0 255" "$(drive pixel $((cw / 2 + 75)) $((ch / 2)))"
check "Save is enabled for a bitmap" "enabled unchecked" "$(drive menu-state 204)"
check "Fit None is checked" "enabled checked" "$(drive menu-state 40067)"
check "Show Toolbar is checked" "enabled checked" "$(drive menu-state 40046)"
read -r _ _ _ tall <<<"$(drive window-rect)"
drive command 40046 >/dev/null
read -r _ _ _ short <<<"$(drive window-rect)"
check "hiding the toolbar unchecks it" "enabled unchecked" "$(drive menu-state 40046)"
check "and makes the window shorter" "yes" "$([[ $short -lt $tall ]] && echo yes || echo "no ($tall -> $short)")"
drive command 40046 >/dev/null
check "showing it again" "enabled checked" "$(drive menu-state 40046)"

echo "== check marks follow the state"
drive command 40051 >/dev/null
check "tile mode checks its item" "enabled checked" "$(drive menu-state 40051)"
drive command 40051 >/dev/null
check "and unchecks it again" "enabled unchecked" "$(drive menu-state 40051)"
drive command 40086 >/dev/null
check "Lock Zoom is checked while locked" "enabled checked" "$(drive menu-state 40086)"
drive command 40086 >/dev/null
drive command 40069 >/dev/null
check "Use last Windowposition is checked" "enabled checked" "$(drive menu-state 40069)"
drive command 40069 >/dev/null
check "the video size of the settings is checked" "enabled checked" "$(drive menu-state 40071)"
check "the other video sizes are not" "enabled unchecked" "$(drive menu-state 40072)"
drive command 40073 >/dev/null
check "choosing a video size checks it" "enabled checked enabled unchecked" "$(drive menu-state 40073) $(drive menu-state 40071)"
drive command 40074 >/dev/null
drive command 40075 >/dev/null
check "the play bar and loop settings toggle" "enabled unchecked enabled unchecked" "$(drive menu-state 40074) $(drive menu-state 40075)"
drive command 40070 >/dev/null
read -r wx wy ww wh <<<"$(drive window-rect)"
check "Save current Windowposition writes it to the settings file at once" "LastWinX=$wx LastWinY=$wy LastWinW=$ww LastWinH=$wh" \
    "$(tr -d '\r' <"$program/Marbleye.ini" | grep -E '^LastWin[XYWH]=' | tr '\n' ' ' | sed 's/ $//')"
drive command 40066 >/dev/null
check "fitting checks Fit Image to Window" "enabled checked" "$(drive menu-state 40066)"
check "and unchecks Fit None" "enabled unchecked" "$(drive menu-state 40067)"
drive command 40067 >/dev/null

echo "== zoom"
drive command 207 >/dev/null
check "zoom out from 100 %" $'\t69%' "$(drive status 1)"
drive command 206 >/dev/null
check "zoom in from 0.7" $'\t100%' "$(drive status 1)"
for _ in 1 2 3 4 5 6 7; do drive command 207 >/dev/null; done
check "zoom out to the bottom of the ladder" $'\t5%' "$(drive status 1)"
drive command 207 >/dev/null
check "zoom out from 0.05 stays" $'\t5%' "$(drive status 1)"
drive wheel 120 ctrl >/dev/null
check "ctrl and the wheel zoom in" $'\t10%' "$(drive status 1)"
drive command 208 >/dev/null
check "original size" $'\t100%' "$(drive status 1)"
drive command 40003 >/dev/null
check "previous picture" "green.bmp - Marbleye" "$(drive title)"
check "its position" $'\t2/4' "$(drive status 3)"
drive command 40029 >/dev/null
drive command 40002 >/dev/null
check "next after the last wraps to the first" $'\t1/4' "$(drive status 3)"
stop
