#!/usr/bin/env bash
# Resizes a 24-megapixel picture to 1500 x 1000 and enlarges a 3000 x 2000 one
# twice with every resampling filter of Marbleye (marbleye-cli convert
# --resize), ImageMagick (convert -filter F -resize) and libvips (vips resize
# --kernel K, the closest kernel), in one run, and reports each command's
# best wall time of five runs, the time of the resampling alone, and the
# ratios ours / theirs.
# The resampling alone is a command's time less that of the same program
# point-sampling to the same size (Fast'n'Dirty, -sample, --kernel nearest),
# the two run by turns: that run reads and writes the same files, where a
# plain copy would write a full-size file.
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
lower() { echo "if ($1 < $2) $1 else $2" | bc; }
minus() { echo "x = $1 - $2; if (x < 0) 0 else x" | bc; }
ratio() { if [[ $(echo "$2 > 0" | bc) == 1 ]]; then printf '%.2f' "$(echo "scale=4; $1 / $2" | bc)"; else echo "-"; fi; }

# Each program point-sampling and filtering; arguments: INPUT SIZE SCALE
# NUMBER MAGICK_FILTER VIPS_KERNEL.
ours_point() { "$cli" convert "$1" "$work/m.ppm" --resize "$2:1"; }
ours_filter() { "$cli" convert "$1" "$work/m.ppm" --resize "$2:$4"; }
magick_point() { "$convert" "$1" -sample "$2!" "$work/i.ppm"; }
magick_filter() { "$convert" "$1" -filter "$5" -resize "$2!" "$work/i.ppm"; }
vips_point() { vips resize "$1" "$work/v.ppm" "$3" --kernel nearest; }
vips_filter() { vips resize "$1" "$work/v.ppm" "$3" --kernel "$6"; }

# Point-sampling and filtering by turns, five times each, so that load from
# elsewhere on the machine falls on both alike; the best time of each.
by_turns() {  # PROGRAM ARGUMENTS...
    local program=$1 point=999999 filter=999999
    shift
    for _ in 1 2 3 4 5; do
        point=$(lower "$(seconds_once "${program}_point" "$@")" "$point")
        filter=$(lower "$(seconds_once "${program}_filter" "$@")" "$filter")
    done
    echo "$point $filter"
}

# Our filter's number and name, ImageMagick's filter, libvips' kernel.
filters=("2 Box Box nearest" "3 Bilinear Triangle linear" "4 Gaussian Gaussian cubic" "5 Hamming Hamming lanczos2"
         "6 Blackman Blackman lanczos3")

line() { printf '%-10s %-9s %8s %8s %-9s %8s %8s %6s %-9s %8s %8s %6s\n' "$@"; }
f() { if [[ $1 == - ]]; then echo -; else printf '%.3f' "$1"; fi; }

run_task() {  # NAME INPUT SIZE SCALE
    local name=$1 input=$2 size=$3 scale=$4 row number ourname magick kernel
    local ours_point=999999 magick_point=999999 vips_point=999999 op of mp mf vp vf
    for row in "${filters[@]}"; do
        read -r number ourname magick kernel <<<"$row"
        read -r op of < <(by_turns ours "$input" "$size" "$scale" "$number" "$magick" "$kernel")
        read -r mp mf < <(by_turns magick "$input" "$size" "$scale" "$number" "$magick" "$kernel")
        read -r vp vf < <(by_turns vips "$input" "$size" "$scale" "$number" "$magick" "$kernel")
        ours_point=$(lower "$op" "$ours_point") magick_point=$(lower "$mp" "$magick_point")
        vips_point=$(lower "$vp" "$vips_point")
        local on mn vn
        on=$(minus "$of" "$op") mn=$(minus "$mf" "$mp") vn=$(minus "$vf" "$vp")
        line "$name" "$ourname" "$(f "$of")" "$(f "$on")" "$magick" "$(f "$mf")" "$(f "$mn")" "$(ratio "$on" "$mn")" \
            "$kernel" "$(f "$vf")" "$(f "$vn")" "$(ratio "$on" "$vn")"
    done
    line "$name" "Fast'n'D" "$(f "$ours_point")" - -sample "$(f "$magick_point")" - \
        "$(ratio "$ours_point" "$magick_point")" nearest "$(f "$vips_point")" - "$(ratio "$ours_point" "$vips_point")"
}

echo "seconds: whole command and the resampling alone (best of 5); ratios: ours / theirs, resampling alone"
echo "(the Fast'n'Dirty rows compare whole commands)"
line "task" "Marbleye" "whole" "resample" "IMagick" "whole" "resample" "ratio" "libvips" "whole" "resample" "ratio"
run_task "shrink 4x" "$work/large.ppm" 1500x1000 0.25
run_task "enlarge 2x" "$work/small.ppm" 6000x4000 2
echo
echo "plain conversion without resampling (read and write the large picture):"
printf '  Marbleye %.3f  ImageMagick %.3f  libvips %.3f\n' "$(seconds "$cli" convert "$work/large.ppm" "$work/m.ppm")" \
    "$(seconds "$convert" "$work/large.ppm" "$work/i.ppm")" "$(seconds vips copy "$work/large.ppm" "$work/v.ppm")"
