# shellcheck shell=bash
# The videos and sounds the media scenarios play, made by ffmpeg into
# $pictures/media, and how to compare their pixels with ffmpeg's decoding.
media="$pictures/media"
mkdir -p "$media"
# One second at 10 frames a second: the first frame red above blue, then green.
first_frame="drawbox=x=0:y=0:w=64:h=24:c=red:t=fill:enable='eq(n,0)',drawbox=x=0:y=24:w=64:h=24:c=blue:t=fill:enable='eq(n,0)'"
make_video() {  # FILE CODEC-OPTIONS...
    local file=$1
    shift
    ffmpeg -loglevel error -y -f lavfi -i "color=c=green:s=64x48:r=10:d=1" -vf "$first_frame" "$@" "$file"
}
make_video "$media/raw.avi" -c:v rawvideo -pix_fmt bgr24
make_video "$media/msvideo1.avi" -c:v msvideo1
make_video "$media/mjpeg.avi" -c:v mjpeg -q:v 2
ffmpeg -loglevel error -y -f lavfi -i "sine=frequency=440:duration=1" "$media/sine.wav"
/usr/bin/convert -size 64x48 xc:yellow -type TrueColor "BMP3:$media/still.bmp"
printf 'RIFF\x10\x00\x00\x00AVI LIST, and no more' >"$media/broken.avi"
head -c 3000 "$media/raw.avi" >"$media/cut-short.avi"

# Red, green, blue of frame N of a video at X, Y from the top left, as ffmpeg decodes it.
ffmpeg_pixel() {  # FILE N X Y
    ffmpeg -loglevel error -i "$1" -vf "select=eq(n\\,$2)" -frames:v 1 -f rawvideo -pix_fmt rgb24 - |
        od -An -tu1 -v -j $((($4 * 64 + $3) * 3)) -N 3 | xargs
}
# "near" when two colours differ by at most 8 in every component.
near() {  # "R G B" "R G B"
    local a b
    read -ra a <<<"$1"
    read -ra b <<<"$2"
    for i in 0 1 2; do
        local d=$((a[i] - b[i]))
        [[ ${#a[@]} -eq 3 && ${#b[@]} -eq 3 && ${d#-} -le 8 ]] || { echo "no: [$1] against [$2]"; return; }
    done
    echo near
}

