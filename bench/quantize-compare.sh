#!/usr/bin/env bash
# Reduces one 12-megapixel photo-like picture to 256 colours with Marbleye
# (median cut + serpentine Floyd-Steinberg, and the best neural setting),
# ImageMagick ("convert -colors 256") and pngquant, in one run, and reports
# each one's time and its PSNR against the original.
# Usage: bench/quantize-compare.sh [BUILD_FOLDER]   (default: build)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cli="$root/${1:-build}/cli/marbleye-cli"
convert=/usr/bin/convert
compare=/usr/bin/compare
[[ -x "$cli" ]] || { echo "build marbleye-cli first (./test.sh)" >&2; exit 1; }
command -v pngquant >/dev/null || { echo "pngquant is missing: apt-get install pngquant" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$convert" -seed 7 -size 4000x3000 plasma:fractal -blur 0x2 -type TrueColor "BMP3:$work/photo.bmp"
"$convert" "$work/photo.bmp" "$work/photo.png"

source "$root/bench/timing.sh"
psnr() { "$compare" -metric PSNR "$work/photo.bmp" "$1" null: 2>&1 || true; }

printf '%-44s %10s %10s\n' "reducer" "seconds" "PSNR (dB)"
row() { printf '%-44s %10.2f %10s\n' "$1" "$2" "$(psnr "$3")"; }

t=$(seconds_once "$cli" convert "$work/photo.bmp" "$work/median.bmp" --colors 256 --palette median --dither serpentine)
row "Marbleye median cut + serpentine FS" "$t" "$work/median.bmp"
t=$(seconds_once "$cli" convert "$work/photo.bmp" "$work/neural.bmp" --colors 256 --palette neural-best --dither serpentine)
row "Marbleye neural best + serpentine FS" "$t" "$work/neural.bmp"
t=$(seconds_once "$cli" convert "$work/photo.bmp" "$work/neural-plain.bmp" --colors 256 --palette neural-best --dither none)
row "Marbleye neural best, no dither" "$t" "$work/neural-plain.bmp"
t=$(seconds_once "$convert" "$work/photo.bmp" -colors 256 "$work/magick.bmp")
row "ImageMagick convert -colors 256" "$t" "$work/magick.bmp"
t=$(seconds_once pngquant --force --output "$work/pngquant.png" 256 "$work/photo.png")
row "pngquant 256" "$t" "$work/pngquant.png"
