# shellcheck shell=bash
# The toolbar's context menu, opened with a real right click on the Open
# button and worked with the keyboard: its items are Show Toolbar, Show
# Tooltips, Button Labels (No labels, Labels at right, Labels below), Toolbar
# (Small, Middle, Big, Large) and Customize.
toolbar_menu() {  # KEY...
    local x y
    read -r x y <<<"$(drive toolbar-point 200)"
    focus_program
    xdotool mousemove "$x" "$y" sleep 0.2 click 3
    drive popup-shown 5 >/dev/null
    [[ $# -gt 0 ]] && xdotool key --delay 80 "$@"
    sleep 0.3
}
downs() { local i; for ((i = 0; i < $1; ++i)); do printf 'Down '; done; }
# shellcheck disable=SC2046  # one word per key
choose_size() { toolbar_menu Down Down Down Down Right $(downs "$1") Return; }
# shellcheck disable=SC2046
choose_labels() { toolbar_menu Down Down Down Right $(downs "$1") Return; }
band_height() { drive toolbar-look | cut -d' ' -f1; }
default_buttons="200 40022 40040 | 201 40082 205 40079 | 206 208 207 | 40003 40002 | 214 215 216 217 | 40033 203"

echo "== the toolbar's context menu"
settings='[Appearance]\r\nToolbar=0\r\nShowToolbarLabels=0\r\nUseFlatToolBar=1\r\nShowToolTips=1\r\n'
start "$(winpath "$pictures/halves.bmp")"
small=$(band_height)
toolbar_menu
check "a right click on the toolbar opens it" "yes" "$(drive popup-shown 0)"
check "with the toolbar and its tooltips checked" "enabled checked enabled checked" \
    "$(drive popup-state 40046) $(drive popup-state 40082)"
check "and the current size and label mode" "enabled checked enabled checked enabled unchecked" \
    "$(drive popup-state 40078) $(drive popup-state 40087) $(drive popup-state 40079)"
check "the words are English" "Labels below" "$(drive popup-text 40089)"
xdotool key Escape
check "Escape closes it" "no" "$(drive popup-shown 0)"

choose_size 1
check "Middle: the same height, 18-pixel buttons on a 16-pixel image" "$small" "$(band_height)"
choose_size 2
check "Big: 8 pixels taller" "$((small + 8))" "$(band_height)"
choose_size 3
check "Large: 9 pixels taller" "$((small + 9))" "$(band_height)"
toolbar_menu
check "Large is checked now, Small is not" "enabled checked enabled unchecked" \
    "$(drive popup-state 40081) $(drive popup-state 40078)"
xdotool key Escape
choose_size 0
toolbar_menu
check "Small again" "$small enabled checked" "$(band_height) $(drive popup-state 40078)"
xdotool key Escape

choose_labels 2
check "labels below: 15 pixels taller" "$((small + 15)) tips flat" "$(drive toolbar-look)"
check "the buttons are labelled" "Open Next" "$(drive toolbar-label 200) $(drive toolbar-label 40002)"
choose_labels 1
check "labels at right: the list style at the small height" "$small tips flat list" "$(drive toolbar-look)"
choose_labels 0
check "no labels" "$small tips flat" "$(drive toolbar-look)"

toolbar_menu Down Down Return
check "Show Tooltips turns them off" "$small flat" "$(drive toolbar-look)"
toolbar_menu
check "and is unchecked then" "enabled unchecked" "$(drive popup-state 40082)"
xdotool key Escape
toolbar_menu Down Down Return
check "and on again" "$small tips flat" "$(drive toolbar-look)"
choose_size 2
choose_labels 2
drive close >/dev/null
drive wait-gone 20 >/dev/null
check "the choices are stored" "Toolbar=2 ShowToolbarLabels=1 ShowToolTips=1" \
    "$(grep -a -E '^(Toolbar|ShowToolbarLabels|ShowToolTips)=' "$program/Marbleye.ini" | tr -d '\r' | sort -r | paste -sd' ')"
stop

echo "== buttons chosen in the settings file"
settings='[Appearance]\r\nToolbar=0\r\nShowToolbarLabels=0\r\nUseFlatToolBar=0\r\n[ToolBar]\r\n'
settings+='ButtonActive0=0\r\nButtonActive1=0\r\nButtonActive2=0\r\nButtonActive3=0\r\nButtonActive14=0\r\n'
start "$(winpath "$pictures/halves.bmp")"
check "raised buttons make the band 3 pixels taller" "$((small + 3)) tips" "$(drive toolbar-look)"
check "inactive buttons and separators are left out" \
    "201 40082 205 40079 | 206 208 207 | 40002 | 214 215 216 217 | 40033 203" "$(drive toolbar-buttons)"
check "a left-out button is not there at all" "" "$(drive toolbar-state 200)"
drive command 40056 >/dev/null
check "Restore Default Toolbar brings back the default buttons" "$default_buttons" "$(drive toolbar-buttons)"
check "the Open button among them" "enabled released" "$(drive toolbar-state 200)"
stop
settings=""
