# shellcheck shell=bash
echo "== an empty command line"
settings=""
start
check "status without an image" "No Image loaded" "$(drive status 0)"
read -r _ _ width _ <<<"$(drive window-rect)"
check "window width for a 512 x 200 picture" "524" "$width"
check "Save is greyed without an image" "grayed unchecked" "$(drive menu-state 204)"
check "Open is enabled" "enabled unchecked" "$(drive menu-state 200)"
stop
