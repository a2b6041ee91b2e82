# shellcheck shell=bash
echo "== a dialog in the chosen language"
settings='[Appearance]\r\nLanguageFile=\\INTL\\Probe.ini\r\n'
language='[Dlg_About]\r\nVisitHomepage=Startseite besuchen\r\n'
start "$(winpath "$pictures/halves.bmp")"
drive post-command 203 >/dev/null
check "a key of the dialog's section replaces its text" "Startseite besuchen" "$(drive dialog-text 1004)"
check "a key the file lacks gives an empty text" "[]" "$(t=$(drive dialog-text 1005) && echo "[$t]")"
check "texts without a key stay" "About Marbleye" "$(drive dialog-text 0)"
drive dialog-press 1 >/dev/null
stop
settings=""
language=""

echo "== the German language file"
settings='[Appearance]\r\nLanguageFile=\\INTL\\Deutsch.ini\r\nShowToolbarLabels=1\r\n'
start "$(winpath "$pictures/halves.bmp")"
check "the menu bar's titles are German" "&Datei &Bearbeiten &Hilfe" \
    "$(drive menu-title 0) $(drive menu-title 1) $(drive menu-title 5)"
check "its items with their keys" $'B&eenden\tEsc' "$(drive menu-text 201)"
check "the toolbar's labels come from the file" "Optionen" \
    "$(drive toolbar-label 40033)"
read -r cw ch <<<"$(drive client-size)"
focus_program
drive context-menu $((cw / 2)) $((ch / 2)) >/dev/null
drive popup-shown 5 >/dev/null
check "the viewer's context menu is German" $'Kopieren na&ch...\tUmschalt+C' "$(drive popup-text 214)"
xdotool key Escape
drive post-command 203 >/dev/null
check "and so is the About dialog" "&Homepage besuchen" "$(drive dialog-text 1004)"
drive dialog-press 1 >/dev/null

echo "== choosing a language"
mkdir "$program/INTL/Alt.ini"
printf 'not a language file' >"$program/INTL/Liesmich.txt"
printf '[Menu]\r\nFile=&Fichier\r\n' >"$program/INTL/Ohne Kopf.ini"
drive post-command 40091 >/dev/null
check "the chooser speaks the chosen language" $'Sprache w\xe4hlen' "$(drive dialog-text 0)"
check "it lists English and the INI files only, by name" \
    "English (Standard) Deutsch unkown??? Teilweise" "$(drive dialog-list 1010 0 | paste -sd' ')"
check "with their authors and files" "Somebody|Ohne Kopf.ini" \
    "$(drive dialog-list 1010 1 | sed -n 3p)|$(drive dialog-list 1010 2 | sed -n 3p)"
drive dialog-select 1010 0 >/dev/null
drive dialog-press 1 >/dev/null
check "English is back in the menu bar at once" "&File" "$(drive menu-title 0)"
check "and in its items" $'&Exit\tEsc' "$(drive menu-text 201)"
check "with the check marks kept" "enabled checked" "$(drive menu-state 40046)"
check "and in the toolbar" "Options" "$(drive toolbar-label 40033)"
check "the choice is stored" "" "$(drive close >/dev/null; drive wait-gone 20 >/dev/null;
    grep -a '^LanguageFile=' "$program/Marbleye.ini" | cut -d= -f2 | tr -d '\r')"
stop

echo "== a partial language file"
settings='[Appearance]\r\nShowToolbarLabels=1\r\n'
start "$(winpath "$pictures/halves.bmp")"
drive post-command 40091 >/dev/null
drive dialog-text 0 >/dev/null
drive dialog-double-click 1010 2 >/dev/null
check "a double click chooses it" "0" "$(wait_for 5 0 drive dialog-count)"
check "its keys translate" $'&Datei B&eenden\tEsc' "$(drive menu-title 0) $(drive menu-text 201)"
check "an item it lacks is left empty" "[]" "[$(drive menu-text 200)]"
check "a popup it lacks too" "[]" "[$(drive menu-title 1)]"
check "the toolbar labels it lacks are blank" "[ ]" "[$(drive toolbar-label 40033)]"
stop
settings=""
