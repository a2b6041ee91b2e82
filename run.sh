#!/usr/bin/env bash
# Installs what is missing, builds Marbleye and starts it under Wine with the
# arguments: a picture and the program's switches (-t, -p, -f, -m, -c, -s).
# Paths may be given as Unix paths; they are handed to the program as the
# Windows paths Wine shows it. Without arguments it opens a sample picture.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"

"$here/scripts/install-deps.sh" build
cmake -S "$here" -B "$here/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMARBLEYE_TESTS=OFF >/dev/null
cmake --build "$here/build" -j2 >/dev/null

export WINEPREFIX="${MARBLEYE_WINEPREFIX:-${XDG_DATA_HOME:-$HOME/.local/share}/marbleye/wine}"
export WINEDEBUG=-all
mkdir -p "$(dirname "$WINEPREFIX")"

windows_path() {
    local absolute
    absolute="$(realpath -m -- "$1")"
    printf 'Z:%s' "${absolute//\//\\}"
}

# An existing file or folder becomes a double-quoted Windows path, as a
# Windows shell passes a file; so does the value of a switch written -X=path.
arguments=()
for argument in "$@"; do
    if [[ "$argument" =~ ^-([a-z])=(.*)$ ]]; then
        arguments+=("-${BASH_REMATCH[1]}=\"$(windows_path "${BASH_REMATCH[2]}")\"")
    elif [[ "$argument" != -* && -e "$argument" ]]; then
        arguments+=("\"$(windows_path "$argument")\"")
    else
        arguments+=("$argument")
    fi
done
[[ ${#arguments[@]} -eq 0 ]] && arguments=("\"$(windows_path "$here/samples/marbleye-sample.bmp")\"")

# The command line goes to the program verbatim (Wine would re-quote
# arguments given to it directly).
export MARBLEYE_COMMAND_LINE="${arguments[*]}"
starter="$here/build/win32/marbleye-start.exe"
if [[ -z "${DISPLAY:-}" ]]; then
    exec xvfb-run -a "$starter"
fi
exec "$starter" 2> >(grep -v '^wine: ' >&2)
