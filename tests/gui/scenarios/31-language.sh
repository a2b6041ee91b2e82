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
