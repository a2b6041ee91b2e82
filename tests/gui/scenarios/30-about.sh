# shellcheck shell=bash
echo "== the About dialog and the commands still to come"
start "$(winpath "$pictures/halves.bmp")"
drive post-command 203 >/dev/null
check "About opens from the Help menu" "About Marbleye" "$(drive dialog-text 0)"
check "it shows the build line" "yes" "$(drive dialog-text 1002 | grep -q '^Marbleye - Built on ' && echo yes)"
check "with the English link texts" "Visit Homepage" "$(drive dialog-text 1004)"
drive dialog-press 1 >/dev/null
check "OK closes it" "0" "$(drive dialog-count)"
drive post-syscommand 203 >/dev/null
check "the system command 203 opens it too" "About Marbleye" "$(drive dialog-text 0)"
drive dialog-press 2 >/dev/null
check "Escape closes it" "0" "$(drive dialog-count)"
drive post-command 205 >/dev/null
check "a command whose part is still to come says so" '"Print..." is not available yet.' "$(drive dialog-text 65535)"
drive dialog-press 1 >/dev/null
check "and the program goes on" "halves.bmp - Marbleye" "$(drive title)"
stop
