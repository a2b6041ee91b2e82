# shellcheck shell=bash
echo "== dropped files and the Open dialog"
other="$pictures/other folder"
mkdir -p "$other"
cp "$pictures/green.bmp" "$other/first.bmp"
cp "$pictures/halves.bmp" "$other/second.bmp"
start "$(winpath "$pictures/halves.bmp")"
drive drop "$(winpath "$other/second.bmp")" "$(winpath "$other/first.bmp")" "$(winpath "$pictures/wide.bmp")" >/dev/null
check "of three dropped files the first opens" "second.bmp - Marbleye" "$(drive title)"
check "in the list of its own folder" $'\t2/2' "$(drive status 3)"
drive post-command 200 >/dev/null
check "the Open dialog" "Marbleye: Load a mediafile" "$(drive dialog-text 0)"
drive dialog-press 2 >/dev/null
check "Cancel keeps the picture" "second.bmp - Marbleye" "$(drive title)"
drive post-command 200 >/dev/null
drive dialog-set-text 1148 "$(winpath "$pictures/wide.bmp")" >/dev/null
drive dialog-press 1 >/dev/null
check "a file chosen there opens" "wide.bmp - Marbleye" "$(wait_for 10 "wide.bmp - Marbleye" drive title)"
check "with its folder's list" $'\t4/4' "$(drive status 3)"
stop
check "its folder is remembered" "LastOpenDir=$(winpath "$pictures")" "$(tr -d '\r' <"$program/Marbleye.ini" | grep '^LastOpenDir=')"
