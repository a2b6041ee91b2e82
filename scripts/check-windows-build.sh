#!/usr/bin/env bash
# Compiles every Win32 source as a 32-bit Windows program (syntax only), so
# nothing Wine-only creeps into the program. Usage: check-windows-build.sh [COMPILER]
set -euo pipefail
compiler=${1:-i686-w64-mingw32-g++}
root="$(cd "$(dirname "$0")/.." && pwd)"
status=0
for source in "$root"/win32/*/*.cpp "$root"/tests/gui/*.cpp; do
    if ! "$compiler" -std=c++20 -fsyntax-only -Wall -Wextra -Werror -DNOMINMAX \
        -I"$root" -I"$root/core" "$source"; then
        echo "not a clean Windows compile: $source" >&2
        status=1
    fi
done
[[ $status -eq 0 ]] && echo "all Win32 sources compile for 32-bit Windows"
exit $status
