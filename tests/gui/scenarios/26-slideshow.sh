# shellcheck shell=bash
echo "== the slideshow"
slides="$pictures/slides"
mkdir -p "$slides"
/usr/bin/convert -size 300x200 xc:red -type TrueColor "BMP3:$slides/a.bmp"
/usr/bin/convert -size 300x200 xc:lime -type TrueColor "BMP3:$slides/b.bmp"
/usr/bin/convert -size 300x200 xc:blue -type TrueColor "BMP3:$slides/c.bmp"
# Slot 16 is the slideshow button, which the default toolbar leaves out.
button='[ToolBar]\r\nButtonActive16=1\r\n'
slideshow_settings() {  # DELAY WRAPAROUND DIRECTION
    settings="[SlideShow]\r\nDelay=$1\r\nWrapAround=$2\r\nDirection=$3\r\n$button"
}

slideshow_settings 300 0 0
start "$(winpath "$slides/a.bmp")"
check "the slideshow button is released at first" "enabled released" "$(drive toolbar-state 40004)"
drive command 40004 >/dev/null
check "starting the slideshow presses its button" "enabled pressed" "$(drive toolbar-state 40004)"
check "it goes on to the second picture" "b.bmp - Marbleye" "$(wait_for 5 "b.bmp - Marbleye" drive title)"
check "and to the third" "c.bmp - Marbleye" "$(wait_for 5 "c.bmp - Marbleye" drive title)"
check "at the last picture it stops" "enabled released" "$(wait_for 5 "enabled released" drive toolbar-state 40004)"
sleep 1
check "and stays there" "c.bmp - Marbleye" "$(drive title)"
check "with its colour" "0 0 255" "$(read -r cw ch <<<"$(drive client-size)"; drive pixel $((cw / 2)) $((ch / 2)))"
stop

echo "== the slideshow wrapping around"
slideshow_settings 300 1 0
start "$(winpath "$slides/b.bmp")"
drive command 40004 >/dev/null
check "from the second to the third" "c.bmp - Marbleye" "$(wait_for 5 "c.bmp - Marbleye" drive title)"
check "past the last to the first" "a.bmp - Marbleye" "$(wait_for 5 "a.bmp - Marbleye" drive title)"
check "and it goes on" "enabled pressed" "$(drive toolbar-state 40004)"
drive command 40004 >/dev/null
check "the command stops it again" "enabled released" "$(drive toolbar-state 40004)"
stopped=$(drive title)
sleep 1
check "and the picture stays" "$stopped" "$(drive title)"
stop

echo "== the slideshow going backward"
slideshow_settings 300 0 1
start "$(winpath "$slides/c.bmp")"
drive command 40004 >/dev/null
check "from the third to the second" "b.bmp - Marbleye" "$(wait_for 5 "b.bmp - Marbleye" drive title)"
check "and to the first" "a.bmp - Marbleye" "$(wait_for 5 "a.bmp - Marbleye" drive title)"
check "at the first picture it stops" "enabled released" "$(wait_for 5 "enabled released" drive toolbar-state 40004)"
check "and stays on it" "a.bmp - Marbleye" "$(drive title)"
stop

echo "== the slideshow over a folder from the command line"
# Wine would escape the quotes of -s="FOLDER" given as an argument: the
# program is started from inside with that very command line, as the shell
# starts it. The driver waits for it in the background.
start_slideshow() {  # FOLDER
    fresh_program
    printf '%b' "$settings" >"$program/Marbleye.ini"
    (cd "$program" && drive run 120 "\"$(winpath "$program/Marbleye.exe.so")\" -s=\"$(winpath "$1")\"" >/dev/null) &
    program_pid=$!
    drive wait-window 60 >/dev/null || echo "      (the window did not appear)"
}
# A delay long enough to see the first picture before the timer moves on;
# the quoted folder may hold a blank.
mkdir -p "$pictures/my slides"
cp "$slides"/*.bmp "$pictures/my slides/"
slideshow_settings 3000 0 0
start_slideshow "$pictures/my slides"
check "-s shows the folder's first picture" "a.bmp - Marbleye" "$(drive title)"
check "with the button pressed" "enabled pressed" "$(drive toolbar-state 40004)"
check "then the next" "b.bmp - Marbleye" "$(wait_for 10 "b.bmp - Marbleye" drive title)"
stop

echo "== the slideshow over a folder without pictures"
empty="$pictures/empty"
mkdir -p "$empty"
printf 'plain text' >"$empty/notes.txt"
slideshow_settings 300 0 0
start_slideshow "$empty"
check "the title names no picture" "Marbleye" "$(drive title)"
check "the timer runs: the button is pressed" "disabled pressed" "$(drive toolbar-state 40004)"
sleep 1
check "its steps leave the window as it is" "1 Marbleye" "$(drive count-windows) $(drive title)"
stop

echo "== random with two pictures"
pair="$pictures/pair"
mkdir -p "$pair"
cp "$slides/a.bmp" "$slides/b.bmp" "$pair/"
start "$(winpath "$pair/b.bmp")"
seen=""
for _ in 1 2 3 4 5; do
    drive command 40029 >/dev/null
    drive command 40030 >/dev/null
    seen="$seen|$(drive title)"
done
check "random never picks the last of two" \
    "|a.bmp - Marbleye|a.bmp - Marbleye|a.bmp - Marbleye|a.bmp - Marbleye|a.bmp - Marbleye" "$seen"
stop
