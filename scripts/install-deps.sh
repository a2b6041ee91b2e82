#!/usr/bin/env bash
# Installs the Debian packages Marbleye needs, skipping those already there.
# Usage: scripts/install-deps.sh build|test|bench ...
set -euo pipefail

build_packages=(build-essential cmake ninja-build pkg-config zlib1g-dev libjpeg62-turbo-dev libpng-dev libtiff-dev
                libmng-dev liblcms2-dev libgd-dev libjbig-dev libgsf-1-dev libdjvulibre-dev tango-icon-theme wine64-tools libwine-dev wine64 wine xvfb xauth)
test_packages=(libgtest-dev imagemagick netpbm giflib-tools libjpeg-turbo-progs libtiff-tools jbigkit-bin unzip clang ffmpeg
               libclang-rt-14-dev g++-mingw-w64-i686 xdotool icoutils djvulibre-bin inkscape)

bench_packages=(imagemagick libjpeg-turbo-progs libvips-tools giflib-tools pngquant bc)

wanted=()
for group in "$@"; do
    case "$group" in
        build) wanted+=("${build_packages[@]}") ;;
        test) wanted+=("${test_packages[@]}") ;;
        bench) wanted+=("${bench_packages[@]}") ;;
        *) echo "install-deps: unknown group '$group'" >&2; exit 2 ;;
    esac
done

missing=()
for package in "${wanted[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$package")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

sudo=()
[[ $(id -u) -ne 0 ]] && sudo=(sudo)
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update -q
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
