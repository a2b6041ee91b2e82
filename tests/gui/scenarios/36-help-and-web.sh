# shellcheck shell=bash
echo "== the Help menu"
record="$work/recorded.txt"
# The web's address opens whatever the system starts for it: here the driver,
# which writes down what it was given.
wine reg add 'HKCR\https\shell\open\command' /ve /d "\"$(winpath "$win32/marbleye-gui-driver.exe.so")\" \"%1\"" /f >/dev/null 2>&1
wine reg add 'HKCR\mailto\shell\open\command' /ve /d "\"$(winpath "$win32/marbleye-gui-driver.exe.so")\" \"%1\"" /f >/dev/null 2>&1
recorded() {  # the command line the stand-in was started with, once it was
    for _ in $(seq 1 50); do [[ -s "$record" ]] && break; sleep 0.2; done
    tr -d '\r' <"$record" 2>/dev/null
    rm -f "$record"
}
program_env="MARBLEYE_DRIVER_RECORD=$record"
start "$(winpath "$pictures/halves.bmp")"
for pair in 40058:Whatsnew 40078:License 40076:Keyboard; do
    drive command "${pair%%:*}" >/dev/null
    check "command ${pair%%:*} opens ${pair##*:}.txt beside the program" "${pair##*:}.txt - Notepad" "$(drive find-window "${pair##*:}" 15)"
    drive close-window "${pair##*:}" >/dev/null
done
check "the key list names every key" "yes" "$(grep -q '^Ctrl+O          Open...' "$program/Keyboard.txt" && grep -q '^Page Down       Next' "$program/Keyboard.txt" && echo yes)"
drive command 40059 >/dev/null
check "the home page" "yes" "$(recorded | grep -q 'https://marbleye.example/"$' && echo yes)"
drive command 40060 >/dev/null
check "the second web page" "yes" "$(recorded | grep -q 'https://marbleye.example/news/"$' && echo yes)"
drive post-command 203 >/dev/null
drive dialog-text 0 >/dev/null
drive dialog-click 1004 >/dev/null
check "About's homepage link" "yes" "$(recorded | grep -q 'https://marbleye.example/"$' && echo yes)"
drive dialog-click 1005 >/dev/null
check "About's e-mail link" "yes" "$(recorded | grep -q 'mailto:feedback@marbleye.example"$' && echo yes)"
drive dialog-press 1 >/dev/null
stop
program_env=""
