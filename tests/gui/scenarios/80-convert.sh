# shellcheck shell=bash
echo "== conversion on the command line"
fresh_program
# Started from inside Wine, the program is its .so: the .exe beside it is the
# launcher script for the shell.
code=$(cd "$program" && drive run 60 "Marbleye.exe.so -c=\"$(winpath "$work/converted.bmp")\" \"$(winpath "$pictures/halves.bmp")\"")
check "-c ends the program" "0" "$code"
check "-c writes the target" "$(cmp -s <(/usr/bin/convert "$pictures/halves.bmp" rgb:-) <(/usr/bin/convert "$work/converted.bmp" rgb:-) && echo same)" "same"
