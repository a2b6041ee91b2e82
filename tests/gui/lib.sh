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
    for file in Marbleye.exe Marbleye.exe.so Readme.htm Whatsnew.txt Keyboard.txt License.txt; do
        cp "$win32/$file" "$program/"
    done
}

# Starts the program in the background with a fresh copy of its folder, so
# every scenario begins with its own settings file.
start() {
    fresh_program
    [[ -n "${settings:-}" ]] && printf '%b' "$settings" >"$program/Marbleye.ini"
    if [[ -n "${language:-}" ]]; then
        mkdir -p "$program/INTL"
        printf '%b' "$language" >"$program/INTL/Deutsch.ini"
    fi
    (cd "$program" && exec ./Marbleye.exe "$@" >/dev/null 2>&1) &
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
