#!/usr/bin/env bash
# Decodes a large GIF (4000 x 3000, 256 colours) and an animated GIF of 200
# frames with Marbleye, giflib (gif2rgb) and ImageMagick in one run, and
# reports each one's wall time.
# Usage: bench/gif-compare.sh [BUILD_FOLDER]   (default: build)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cli="$root/${1:-build}/cli/marbleye-cli"
convert=/usr/bin/convert
[[ -x "$cli" ]] || { echo "build marbleye-cli first (./test.sh)" >&2; exit 1; }
command -v gif2rgb >/dev/null || { echo "gif2rgb is missing: apt-get install giflib-tools" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$convert" -seed 7 -size 4000x3000 plasma:fractal -colors 256 "$work/large.gif"
"$convert" -size 320x240 gradient:red-blue -fill yellow -draw "circle 160,120 160,40" -duplicate 199 \
    -distort SRT '%[fx:t*1.8]' -colors 128 -delay 4 -loop 0 "$work/animated.gif"

source "$root/bench/timing.sh"

printf '%-12s %-36s %10s\n' "file" "decoder" "seconds"
for name in large animated; do
    file="$work/$name.gif"
    printf '%-12s %-36s %10.3f\n' "$name" "Marbleye (marbleye-cli info)" "$(seconds "$cli" info "$file")"
    printf '%-12s %-36s %10.3f\n' "$name" "giflib (gif2rgb, first image)" "$(seconds gif2rgb -1 -o "$work/out.rgb" "$file")"
    printf '%-12s %-36s %10.3f\n' "$name" "ImageMagick (all frames to RGB)" "$(seconds "$convert" "$file" "rgb:$work/out-im.rgb")"
done
echo
echo "frames decoded by Marbleye:"
"$cli" info "$work/animated.gif" | grep -E '^frames|^width|^height'
