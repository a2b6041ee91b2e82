# shellcheck shell=bash
echo "== every key of the accelerator table, pressed for real"
settings='[ToolBar]\r\nButtonActive16=1\r\n[SlideShow]\r\nDelay=60000\r\n'
start "$(winpath "$pictures/halves.bmp")"
press Next
check "Page Down: the next picture" "wide.bmp - Marbleye" "$(drive title)"
press space
check "Space: the next picture, wrapping to the first" "broken.bmp - Marbleye" "$(drive title)"
press Prior
check "Page Up: the previous picture" "wide.bmp - Marbleye" "$(drive title)"
press BackSpace
check "Backspace: the previous picture" "halves.bmp - Marbleye" "$(drive title)"
press Home
check "Home: the first picture" "broken.bmp - Marbleye" "$(drive title)"
press End
check "End: the last picture" "wide.bmp - Marbleye" "$(drive title)"
drive command 40003 >/dev/null
press ctrl+r
check "Ctrl+R: the same picture again" "halves.bmp - Marbleye" "$(drive title)"
press plus
check "+: zoom in" $'\t150%' "$(drive status 1)"
press asterisk
check "*: original size" $'\t100%' "$(drive status 1)"
press minus
check "-: zoom out" $'\t69%' "$(drive status 1)"
press asterisk
press ctrl+t
check "Ctrl+T: tiles" "enabled checked" "$(drive menu-state 40051)"
press ctrl+t
press ctrl+m
check "Ctrl+M: always maximized" "enabled checked" "$(drive menu-state 40061)"
read -r _ _ width _ <<<"$(drive window-rect)"
check "and the window takes the screen's width" "1280" "$width"
press ctrl+m
press s
check "S: the slideshow runs, its button pressed" "enabled pressed" "$(drive toolbar-state 40004)"
press s
check "S again stops it" "enabled released" "$(drive toolbar-state 40004)"
read -r cw ch <<<"$(drive client-size)"
press shift+g
check "Shift+G: mirrored, blue now on the left" "0 0 255" "$(drive pixel $((cw / 2 - 75)) $((ch / 2)))"
press shift+f
check "Shift+F: flipped, a left-right picture keeps its halves" "0 0 255" "$(drive pixel $((cw / 2 - 75)) $((ch / 2)))"
press shift+h
check "Shift+H: turned left" $'\t200x300x24' "$(drive status 0)"
press shift+j
check "Shift+J: turned right again" $'\t300x200x24' "$(drive status 0)"
press ctrl+z
check "Ctrl+Z: the turn right undone" $'\t200x300x24' "$(drive status 0)"
check "and Undo greyed" "grayed unchecked" "$(drive menu-state 40079)"
press ctrl+o
check "Ctrl+O: the Open dialog" "Marbleye: Load a mediafile" "$(drive dialog-text 0)"
xdotool key Escape
check "Escape leaves it" "0" "$(wait_for 5 0 drive dialog-count)"
press ctrl+a
check "Ctrl+A: Select All is greyed outside the browser, so the key does nothing" "0" "$(drive dialog-count)"
for key in ctrl+p ctrl+s shift+s ctrl+c ctrl+x ctrl+v ctrl+d shift+c shift+m shift+r Delete Return; do
    press "$key"
    text=$(drive dialog-text 65535)
    check "$key: its command is named, not yet there" "yes" "$([[ "$text" == *"is not available yet." ]] && echo yes || echo "no: $text")"
    drive dialog-press 1 >/dev/null
done
wine reg add 'HKCR\.htm' /ve /d txtfile /f >/dev/null 2>&1
press F1
check "F1: the Readme beside the program" "Readme.htm - Notepad" "$(drive find-window Readme 15)"
drive close-window Readme >/dev/null
press ctrl+f
check "Ctrl+F: full screen" "popup topmost" "$(drive window-style)"
press Escape
check "Escape leaves full screen" "framed normal" "$(drive window-style)"
press Escape
check "Escape in the window ends the program" "0" "$(wait_for 10 0 drive count-windows)"
stop
