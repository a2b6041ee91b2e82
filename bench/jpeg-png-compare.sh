#!/usr/bin/env bash
# Decodes a 24-megapixel JPEG and writes it as JPEG and PNG with Marbleye,
# libjpeg-turbo's own tools, ImageMagick and libvips in one run, and decodes
# it for a thumbnail (reduced-scale decoding); prints each one's wall time.
# Usage: bench/jpeg-png-compare.sh [BUILD_FOLDER]   (default: build)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cli="$root/${1:-build}/cli/marbleye-cli"
convert=/usr/bin/convert
[[ -x "$cli" ]] || { echo "build marbleye-cli first (./test.sh)" >&2; exit 1; }
for tool in djpeg cjpeg vips; do
    command -v "$tool" >/dev/null || { echo "$tool is missing: apt-get install libjpeg-turbo-progs libvips-tools" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# 6000 x 4000 with photo-like detail: a gradient with noise and shapes.
"$convert" -size 6000x4000 gradient:navy-orange -fill white -draw "circle 3000,2000 3000,600" \
    -attenuate 0.4 +noise Gaussian -depth 8 "$work/big.ppm"
cjpeg -quality 90 "$work/big.ppm" > "$work/big.jpg"
settings="$work/Marbleye.ini"
printf '[SaveAs]\nJPGQuality=80\nJPGOptimize=1\nPNGInterlace=0\n' > "$settings"

source "$root/bench/timing.sh"
row() { printf '%-22s %-44s %8.3f\n' "$1" "$2" "$3"; }

printf '%-22s %-44s %8s\n' "task" "program" "seconds"
row "decode 24 MP JPEG" "Marbleye (marbleye-cli info)" "$(seconds "$cli" info "$work/big.jpg")"
row "decode 24 MP JPEG" "djpeg (to /dev/null)" "$(seconds djpeg -outfile /dev/null "$work/big.jpg")"
row "decode 24 MP JPEG" "ImageMagick (convert to null:)" "$(seconds "$convert" "$work/big.jpg" null:)"
row "decode 24 MP JPEG" "libvips (vips copy to .v)" "$(seconds vips copy "$work/big.jpg" "$work/out.v")"
row "thumbnail (80 px)" "Marbleye (info --thumbnail 80: 1/8 scale)" "$(seconds "$cli" info "$work/big.jpg" --thumbnail 80)"
row "thumbnail (80 px)" "djpeg -scale 1/8 -dct fast" "$(seconds djpeg -scale 1/8 -dct fast -outfile /dev/null "$work/big.jpg")"
row "thumbnail (80 px)" "libvips (vipsthumbnail)" "$(seconds vipsthumbnail "$work/big.jpg" -s 80 -o "$work/t.jpg")"
row "write JPEG q80 opt" "Marbleye (convert PPM to JPEG)" "$(seconds "$cli" convert "$work/big.ppm" "$work/m.jpg" --settings "$settings")"
row "write JPEG q80 opt" "cjpeg -quality 80 -optimize" "$(seconds cjpeg -quality 80 -optimize -outfile "$work/c.jpg" "$work/big.ppm")"
row "write JPEG q80 opt" "ImageMagick (convert -quality 80)" "$(seconds "$convert" "$work/big.ppm" -quality 80 "$work/i.jpg")"
row "write JPEG q80 opt" "libvips (vips copy [Q=80,optimize_coding])" "$(seconds vips copy "$work/big.ppm" "$work/v.jpg[Q=80,optimize_coding]")"
row "write PNG (RGB)" "Marbleye (convert PPM to PNG)" "$(seconds "$cli" convert "$work/big.ppm" "$work/m.png" --settings "$settings")"
row "write PNG (RGB)" "ImageMagick (convert)" "$(seconds "$convert" "$work/big.ppm" "$work/i.png")"
row "write PNG (RGB)" "libvips (vips copy)" "$(seconds vips copy "$work/big.ppm" "$work/v.png")"
echo
echo "Marbleye's own load time (in process, without process start):"
best_load() {  # ARGUMENTS... : the shortest load time of three runs, in ms
    for _ in 1 2 3; do "$cli" info "$@" | sed -n 's/^load time: \([0-9]*\) ms$/\1/p'; done | sort -n | head -1
}
echo "  full size: $(best_load "$work/big.jpg") ms"
echo "  thumbnail: $(best_load "$work/big.jpg" --thumbnail 80) ms"
echo "start of the command line tool alone: $(seconds "$cli" --help) s"
echo
ls -l "$work"/m.jpg "$work"/c.jpg "$work"/m.png "$work"/i.png "$work"/v.png | awk '{printf "%-10s %12d bytes\n", $NF, $5}' | sed "s|$work/||"
