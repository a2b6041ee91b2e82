# shellcheck shell=bash
echo "== the picture as wallpaper"
desktop_value() { wine reg query 'HKCU\Control Panel\Desktop' /v "$1" 2>/dev/null | tr -d '\r' | awk -v name="$1" '$1 == name { $1 = ""; $2 = ""; sub(/^ +/, ""); print }'; }
wallpaper="$(windows_folder)/Marbleye Wallpaper.bmp"
start "$(winpath "$pictures/halves.bmp")"
for pair in 40013:0 40014:2 40015:1; do
    drive command "${pair%%:*}" >/dev/null
    # The registry is read by another Wine process, which may see the value a moment later.
    check "command ${pair%%:*} writes the style ${pair##*:}" "${pair##*:}" \
        "$(wait_for 5 "${pair##*:}" desktop_value WallpaperStyle)"
done
check "the picture is written into the Windows folder" "same" \
    "$(cmp -s <(/usr/bin/convert "$pictures/halves.bmp" rgb:-) <(/usr/bin/convert "$wallpaper" rgb:- 2>/dev/null) && echo same)"
check "and set as the desktop's wallpaper" "C:\\windows\\Marbleye Wallpaper.bmp" "$(desktop_value Wallpaper)"
drive command 40016 >/dev/null
check "Delete removes the file" "gone" "$([[ -e "$wallpaper" ]] && echo there || echo gone)"
check "and the wallpaper" "" "$(desktop_value Wallpaper)"
stop
