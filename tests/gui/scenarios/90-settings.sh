# shellcheck shell=bash
echo "== the settings file"
settings='[Appearance]\r\nViewImageAsTiles=1\r\n[SaveAs]\r\nJPGQuality=55\r\n'
start "$(winpath "$pictures/halves.bmp")"
check "read at start" "enabled checked" "$(drive menu-state 40051)"
stop
ini=$(tr -d '\r' <"$program/Marbleye.ini")
check "written at exit, keeping values" "yes" "$(grep -qx 'JPGQuality=55' <<<"$ini" && grep -qx 'ViewImageAsTiles=1' <<<"$ini" && grep -qx 'nToolBarButtons=25' <<<"$ini" && echo yes)"
settings=""
