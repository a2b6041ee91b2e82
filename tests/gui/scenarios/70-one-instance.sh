# shellcheck shell=bash
echo "== one instance"
start "$(winpath "$pictures/halves.bmp")"
(cd "$program" && ./Marbleye.exe "$(winpath "$pictures/my pictures/green.bmp")" >/dev/null 2>&1)
check "a second start exits with -1" "255" "$?"
check "the first instance shows the handed-over picture" "green.bmp - Marbleye" "$(drive title)"
check "only one window" "1" "$(drive count-windows)"
drive copydata "\"$(winpath "$pictures/halves.bmp")\"" >/dev/null
check "a hand-over by message" "halves.bmp - Marbleye" "$(drive title)"
stop

settings='[Appearance]\r\nUseOnlyOneInstance=0\r\n'
start "$(winpath "$pictures/halves.bmp")"
(cd "$program" && exec ./Marbleye.exe "$(winpath "$pictures/green.bmp")" >/dev/null 2>&1) &
second=$!
sleep 1
for _ in $(seq 1 100); do [[ "$(drive count-windows)" == "2" ]] && break; sleep 0.2; done
check "with UseOnlyOneInstance=0 two instances run" "2" "$(drive count-windows)"
stop "$second"
settings=""
