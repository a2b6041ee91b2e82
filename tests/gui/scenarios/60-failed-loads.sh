# shellcheck shell=bash
echo "== failed loads"
start "$(winpath "$pictures/broken.bmp")"
check "a broken bitmap gives the error picture" $'\t500x200x-1' "$(drive status 0)"
check "the title names the file" "broken.bmp - Marbleye" "$(drive title)"
check "the picture shows the reader's message" "0" "$(drive error-picture "broken.bmp: is not a valid BitmapFile!")"
stop
start "$(winpath "$pictures/notes.txt")"
check "an unknown extension gives the error picture" $'\t500x200x-1' "$(drive status 0)"
check "the picture shows the message" "0" "$(drive error-picture "notes.txt: Unable to determine Fileformat.")"
check "a different text would not match" "yes" "$(d=$(drive error-picture "notes.txt: Unable to determine the Fileformat"); [[ ${d:-0} -gt 0 ]] && echo yes)"
stop
