# shellcheck shell=bash
# What every GUI scenario uses: paths as Wine shows them, the driver, checks,
# and starting and stopping the program with a fresh folder of its own.

winpath() { printf 'Z:%s' "${1//\//\\}"; }
drive() { "$driver" "$@" 2>/dev/null | tr -d '\r'; }

check() {  # NAME EXPECTED ACTUAL
    if [[ "$2" == "$3" ]]; then
        passed=$((passed + 1))
        echo "ok    $1"
    else
        failed=$((failed + 1))
        echo "FAIL  $1: expected [$2], got [$3]"
    fi
}

# A fresh copy of the program folder: the program, the documents beside it,
# and no settings file.
fresh_program() {
    rm -rf "$program"
    mkdir -p "$program"
    local file
    for file in Marbleye.exe Marbleye.exe.so Readme.htm Whatsnew.txt Keyboard.txt License.txt sRGB.icm; do
        cp "$win32/$file" "$program/"
    done
    cp -r "$win32/INTL" "$program/"
}

# Starts the program in the background with a fresh copy of its folder, so
# every scenario begins with its own settings file.
start() {
    fresh_program
    [[ -n "${settings:-}" ]] && printf '%b' "$settings" >"$program/Marbleye.ini"
    if [[ -n "${language:-}" ]]; then
        mkdir -p "$program/INTL"
        printf '%b' "$language" >"$program/INTL/Probe.ini"
    fi
    # shellcheck disable=SC2086  # program_env holds NAME=VALUE words
    (cd "$program" && exec env ${program_env:-} ./Marbleye.exe "$@" >/dev/null 2>&1) &
    program_pid=$!
    drive wait-window 60 >/dev/null || echo "      (the window did not appear)"
}

# Closes every main window; a program that will not end is killed so that the
# next scenario starts clean (and the check that follows fails).
stop() {
    for _ in $(seq 1 40); do
        [[ "$(drive count-windows)" == "0" ]] && break
        drive close >/dev/null
        sleep 0.5
    done
    for pid in "$program_pid" "$@"; do
        for _ in $(seq 1 20); do kill -0 "$pid" 2>/dev/null || break; sleep 0.5; done
        kill "$pid" 2>/dev/null && echo "      (killed a program that did not end)"
    done
    wait 2>/dev/null
}

# Makes the program's window the active one, for Wine and for X alike.
focus_program() {
    local window
    drive activate >/dev/null
    window=$(xdotool search --name ' - Marbleye$' 2>/dev/null | head -1)
    [[ -z "$window" ]] && window=$(xdotool search --name '^Marbleye$' 2>/dev/null | head -1)
    [[ -n "$window" ]] && xdotool windowfocus --sync "$window" 2>/dev/null
}

# Real key presses, as X delivers them to the focused program window:
# press KEY... (xdotool key names: ctrl+t, Next, plus, asterisk, shift+h).
press() {
    focus_program
    xdotool key --delay 100 "$@" 2>/dev/null
    sleep 0.3
    drive title >/dev/null
}

# Waits up to SECONDS for COMMAND... to print EXPECTED; prints what it printed last.
wait_for() {  # SECONDS EXPECTED COMMAND...
    local seconds=$1 expected=$2 got=""
    shift 2
    for _ in $(seq 1 $((seconds * 5))); do
        got=$("$@")
        [[ "$got" == "$expected" ]] && break
        sleep 0.2
    done
    printf '%s' "$got"
}

# The client-area pixel DX, DY from the centre: "r g b".
at() { # DX DY
    local cw ch
    read -r cw ch <<<"$(drive client-size)"
    drive pixel $((cw / 2 + $1)) $((ch / 2 + $2))
}

# The colours seen at the centre of the client area while an animation
# plays, each change once, until COUNT were seen or TRIES looks a tenth of a
# second apart were made; joined by "|".
centre_colours() {  # COUNT TRIES
    local colours=() colour cw ch
    read -r cw ch <<<"$(drive client-size)"
    for _ in $(seq 1 "$2"); do
        colour=$(drive pixel $((cw / 2)) $((ch / 2)))
        [[ ${#colours[@]} -eq 0 || "${colours[-1]}" != "$colour" ]] && colours+=("$colour")
        [[ ${#colours[@]} -ge $1 ]] && break
        sleep 0.1
    done
    local IFS='|'
    printf '%s' "${colours[*]}"
}

# The Windows folder of the test's Wine prefix.
windows_folder() { printf '%s' "$WINEPREFIX/drive_c/windows"; }
