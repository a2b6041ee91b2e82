# shellcheck shell=bash
echo "== the viewer's context menu"
start "$(winpath "$pictures/halves.bmp")"
read -r cw ch <<<"$(drive client-size)"
focus_program
drive context-menu $((cw / 2)) $((ch / 2)) >/dev/null
check "it opens over the picture" "yes" "$(drive popup-shown 5)"
check "Full Size is checked in fit-none" "enabled checked" "$(drive popup-state 40067)"
check "Auto Size is not" "enabled unchecked" "$(drive popup-state 40066)"
check "Lock Zoom can be chosen" "enabled unchecked" "$(drive popup-state 40086)"
check "the file commands are there" "enabled unchecked" "$(drive popup-state 214)"
# The seventh item, below the four file commands and Next and Previous.
xdotool key --delay 80 Down Down Down Down Down Down Down Return
check "choosing Zoom In zooms in" $'\t150%' "$(wait_for 5 $'\t150%' drive status 1)"
drive command 40086 >/dev/null
focus_program
drive context-menu $((cw / 2)) $((ch / 2)) >/dev/null
drive popup-shown 5 >/dev/null
check "Lock Zoom is checked while locked" "enabled checked" "$(drive popup-state 40086)"
xdotool key Escape
check "Escape closes it" "no" "$(drive popup-shown 0)"
drive command 40086 >/dev/null
drive command 40066 >/dev/null
focus_program
drive context-menu $((cw / 2)) $((ch / 2)) >/dev/null
drive popup-shown 5 >/dev/null
check "fitted: Auto Size is checked" "enabled checked" "$(drive popup-state 40066)"
check "and the zoom items greyed" "grayed unchecked" "$(drive popup-state 206)"
check "and Lock Zoom greyed" "grayed unchecked" "$(drive popup-state 40086)"
xdotool key Escape
drive command 40067 >/dev/null
drive command 40050 >/dev/null
focus_program
drive context-menu 640 512 >/dev/null
drive popup-shown 5 >/dev/null
check "in full screen: Fullscreen is checked" "enabled checked" "$(drive popup-state 40050)"
check "and both fit items greyed" "grayed unchecked grayed unchecked" "$(drive popup-state 40066) $(drive popup-state 40067)"
xdotool key Escape
drive command 40050 >/dev/null
# A selection drawn with the right button: no menu at its end.
read -r left top _ _ <<<"$(drive window-rect)"
drive activate >/dev/null
xdotool mousemove $((left + cw / 2 - 40)) $((top + ch / 2)) mousedown 3 mousemove $((left + cw / 2 + 40)) $((top + ch / 2 + 30)) mouseup 3
check "a drawn selection opens no menu" "no" "$(drive popup-shown 1)"
xdotool mousemove $((left + cw / 2)) $((top + ch / 2 + 60)) click 3
check "a click without drawing opens it" "yes" "$(drive popup-shown 5)"
xdotool key Escape
stop
