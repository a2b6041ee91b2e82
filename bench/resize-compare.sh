#!/usr/bin/env bash
# Resizes a 24-megapixel picture to 1500 x 1000 and enlarges a 3000 x 2000 one
# twice with every resampling filter of Marbleye (marbleye-cli convert
# --resize), ImageMagick (convert -filter F -resize) and libvips (vips resize
# --kernel K, the closest kernel), in one run, and reports each command's
# best wall time of five runs, the time of the resampling alone, and the
# ratios ours / theirs.
# The resampling alone is a command's time less that of the same program
# point-sampling to the same size (Fast'n'Dirty, -sample, --kernel nearest):
# that run reads and writes the same files, where a plain copy would write a
# full-size file.
# Usage: bench/resize-compare.sh [BUILD_FOLDER]   (default: build)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cli="$root/${1:-build}/cli/marbleye-cli"
convert=/usr/bin/convert
[[ -x "$cli" ]] || { echo "build marbleye-cli first (./test.sh)" >&2; exit 1; }
"$cli" --help | grep -q -- '--resize' || { echo "this marbleye-cli has no --resize" >&2; exit 1; }
command -v vips >/dev/null || { echo "vips is missing: apt-get install libvips-tools" >&2; exit 1; }
command -v bc >/dev/null || { echo "bc is missing: apt-get install bc" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Photo-like detail: a gradient with a disc and noise, 24 bits.
picture() {  # SIZE CIRCLE FILE
    "$convert" -size "$1" gradient:navy-orange -fill white -draw "circle $2" -attenuate 0.4 +noise Gaussian \
        -depth 8 "$3"
}
picture 6000x4000 "3000,2000 3000,600" "$work/large.ppm"
picture 3000x2000 "1500,1000 1500,300" "$work/small.ppm"

source "$root/bench/timing.sh"
best() {  # COMMAND... : the best wall time of five runs
    local best=999999 t
    for _ in 1 2 3 4 5; do
        t=$(seconds_once "$@")
        best=$(echo "if ($t < $best) $t else $best" | bc)
    done
    echo "$best"
}
minus() { echo "x = $1 - $2; if (x < 0) 0 else x" | bc; }
ratio() { if [[ $(echo "$2 > 0" | bc) == 1 ]]; then printf '%.2f' "$(echo "scale=4; $1 / $2" | bc)"; else echo "-"; fi; }

# Our filter's number and name, ImageMagick's filter, libvips' kernel.
filters=("2 Box Box nearest" "3 Bilinear Triangle linear" "4 Gaussian Gaussian cubic" "5 Hamming Hamming lanczos2"
         "6 Blackman Blackman lanczos3")

run_task() {  # NAME INPUT SIZE SCALE
    local name=$1 input=$2 size=$3 scale=$4 ours_base magick_base vips_base
    ours_base=$(best "$cli" convert "$input" "$work/m.ppm" --resize "$size:1")
    magick_base=$(best "$convert" "$input" -sample "$size!" "$work/i.ppm")
    vips_base=$(best vips resize "$input" "$work/v.ppm" "$scale" --kernel nearest)
    printf '%-10s %-9s %8.3f %8s %-9s %8.3f %8s %6s %-9s %8.3f %8s %6s\n' "$name" "Fast'n'D" "$ours_base" "-" \
        "-sample" "$magick_base" "-" "$(ratio "$ours_base" "$magick_base")" \
        "nearest" "$vips_base" "-" "$(ratio "$ours_base" "$vips_base")"
    for row in "${filters[@]}"; do
        read -r number ourname magick kernel <<<"$row"
        local ours ours_net theirs magick_net vips vips_net
        ours=$(best "$cli" convert "$input" "$work/m.ppm" --resize "$size:$number")
        theirs=$(best "$convert" "$input" -filter "$magick" -resize "$size!" "$work/i.ppm")
        vips=$(best vips resize "$input" "$work/v.ppm" "$scale" --kernel "$kernel")
        ours_net=$(minus "$ours" "$ours_base")
        magick_net=$(minus "$theirs" "$magick_base")
        vips_net=$(minus "$vips" "$vips_base")
        printf '%-10s %-9s %8.3f %8.3f %-9s %8.3f %8.3f %6s %-9s %8.3f %8.3f %6s\n' "$name" "$ourname" "$ours" "$ours_net" \
            "$magick" "$theirs" "$magick_net" "$(ratio "$ours_net" "$magick_net")" \
            "$kernel" "$vips" "$vips_net" "$(ratio "$ours_net" "$vips_net")"
    done
}

echo "seconds: whole command (best of 5) and the resampling alone; ratios: ours / theirs, resampling alone"
echo "(the Fast'n'Dirty row compares whole commands)"
printf '%-10s %-9s %8s %8s %-9s %8s %8s %6s %-9s %8s %8s %6s\n' "task" "Marbleye" "whole" "resample" \
    "IMagick" "whole" "resample" "ratio" "libvips" "whole" "resample" "ratio"
run_task "shrink 4x" "$work/large.ppm" 1500x1000 0.25
run_task "enlarge 2x" "$work/small.ppm" 6000x4000 2
echo
echo "plain conversion without resampling (read and write the large picture):"
printf '  Marbleye %.3f  ImageMagick %.3f  libvips %.3f\n' "$(best "$cli" convert "$work/large.ppm" "$work/m.ppm")" \
    "$(best "$convert" "$work/large.ppm" "$work/i.ppm")" "$(best vips copy "$work/large.ppm" "$work/v.ppm")"
