# shellcheck shell=bash
echo "== fit mode"
settings='[Appearance]\r\nViewStyle=1\r\n'
start "$(winpath "$pictures/wide.bmp")"
drive set-client-size 1004 700 >/dev/null
check "a 2000-pixel picture in a 1000-pixel area" $'\t50%' "$(drive status 1)"
check "Fit Image to Window is checked" "enabled checked" "$(drive menu-state 40066)"
check "Lock Zoom is greyed in fit mode" "grayed unchecked" "$(drive menu-state 40086)"
stop
settings=""
