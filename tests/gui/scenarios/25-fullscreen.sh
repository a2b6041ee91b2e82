# shellcheck shell=bash
echo "== full screen"
settings='[FullScreen]\r\nShowCursor=0\r\n'
start "$(winpath "$pictures/halves.bmp")"
check "the pointer shows in the window" "yes" "$(drive cursor-shown)"
drive command 40050 >/dev/null
check "full screen: no frame, on top of the task bar" "popup topmost" "$(drive window-style)"
read -r _ _ width height <<<"$(drive window-rect)"
check "over the whole screen" "1280 1024" "$width $height"
check "without a menu" "" "$(drive menu-state 200)"
check "the pointer is hidden (ShowCursor=0)" "no" "$(drive cursor-shown)"
check "the picture at 100 %, centred" "255 0 0 0 0 255 0 0 0" "$(drive pixel 600 512) $(drive pixel 680 512) $(drive pixel 100 512)"
press Escape
check "Escape returns to the window" "framed normal" "$(drive window-style)"
check "with its menu" "enabled unchecked" "$(drive menu-state 200)"
check "its toolbar and status bar" "enabled released"$'\t300x200x24' "$(drive toolbar-state 40002)$(drive status 0)"
check "and the pointer again" "yes" "$(drive cursor-shown)"
stop

settings='[FullScreen]\r\nFullSize=0\r\nStretchSmall=1\r\nHideTaskBar=0\r\n'
start -f "$(winpath "$pictures/halves.bmp")"
check "-f opens in full screen; HideTaskBar=0 keeps it below others" "popup normal" "$(drive window-style)"
check "StretchSmall fills the screen's width" "255 0 0 0 0 255" "$(drive pixel 100 512) $(drive pixel 1180 512)"
drive command 201 >/dev/null
check "Exit leaves full screen first" "framed normal" "$(drive window-style)"
stop

settings='[Appearance]\r\nShowFullscreen=1\r\n'
start "$(winpath "$pictures/halves.bmp")"
check "ShowFullscreen opens every picture in full screen" "popup topmost" "$(drive window-style)"
press Escape
check "and Escape there ends the program" "0" "$(wait_for 10 0 drive count-windows)"
stop
check "the settings keep the window's view style" "ViewStyle=0" "$(tr -d '\r' <"$program/Marbleye.ini" | grep '^ViewStyle=')"
start -f "$(winpath "$pictures/halves.bmp")"
check "with ShowFullscreen, -f toggles back to the window" "framed normal" "$(drive window-style)"
stop
