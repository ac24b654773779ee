# SPDX-License-Identifier: GPL-3.0-or-later
# Shared by the benchmark scripts (sourced; not a benchmark itself, so run-all skips it).

# best RUNS CMD...: the best wall time of RUNS runs of CMD, in seconds.
best() {
    local runs=$1 b="" t0 t1 t i
    shift
    for ((i = 0; i < runs; i++)); do
        t0=$(date +%s.%N)
        "$@" >/dev/null 2>&1 || true
        t1=$(date +%s.%N)
        t=$(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.4f", b - a }')
        if [ -z "$b" ] || awk -v x="$t" -v y="$b" 'BEGIN { exit !(x < y) }'; then b=$t; fi
    done
    echo "$b"
}

# make_medium DIR: the synthetic medium of the walk benchmarks, 18,780 directories.
# 30 top directories (half hidden), 25 below each, 24 below those (half hidden), with files.
make_medium() {
    mkdir -p "$1"
    (
        cd "$1"
        mkdir -p {d,.h}{00..14}/s{00..24}/{l,.l}{00..11}
        touch {d,.h}{00..14}/s{00..24}/f.txt d{00..14}/s{00..24}/l{00..03}/x.dat
    )
}

# gui_command PROGRAM ARGS...: sets the array `gui` to run a screen benchmark under Xvfb
# when there is one, else on the offscreen platform.
gui_command() {
    if command -v xvfb-run >/dev/null; then
        gui=(xvfb-run -a -s "-screen 0 1280x1024x24" "$@")
    else
        gui=(env QT_QPA_PLATFORM=offscreen "$@")
    fi
}
