# Wall-clock timing for the comparison scripts; sourced, not run.

seconds_once() {  # COMMAND... : wall time of one run
    local start end
    start=$(date +%s.%N)
    "$@" >/dev/null 2>&1
    end=$(date +%s.%N)
    echo "$end - $start" | bc
}

seconds() {  # COMMAND... : the best wall time of three runs
    local best=999999 t
    for _ in 1 2 3; do
        t=$(seconds_once "$@")
        best=$(echo "if ($t < $best) $t else $best" | bc)
    done
    echo "$best"
}
