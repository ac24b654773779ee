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

# rounds OUTDIR ROUNDS NAME CMD [NAME CMD]...: runs every CMD (a bash command line) once per
# round, in the order given, ROUNDS times, so that a change in the machine's load touches
# every command alike. Each run's output goes to OUTDIR/NAME.out (a file, never /dev/null:
# a program that finds no reader may stop early); its wall and CPU seconds (user + system)
# are appended to OUTDIR/NAME.times as "wall cpu". A failing command stops the benchmark.
rounds() {
    local out=$1 n=$2 r i t
    shift 2
    local -a spec=("$@")
    mkdir -p "$out"
    for ((i = 0; i < ${#spec[@]}; i += 2)); do : >"$out/${spec[i]}.times"; done
    for ((r = 0; r < n; r++)); do
        for ((i = 0; i < ${#spec[@]}; i += 2)); do
            t=$({
                TIMEFORMAT='%R %U %S'
                time bash -c "${spec[i + 1]}" >"$out/${spec[i]}.out" 2>&1 || echo "FAILED"
            } 2>&1)
            case $t in *FAILED*)
                echo "rounds: '${spec[i + 1]}' failed (output in $out/${spec[i]}.out)" >&2
                return 1 ;;
            esac
            awk '{ printf "%.4f %.4f\n", $1, $2 + $3 }' <<<"$t" >>"$out/${spec[i]}.times"
        done
    done
}

# round_stats OUTDIR NAME [BASE]: "min median" of NAME's wall seconds, or of the ratio of
# NAME's wall time to BASE's in the same round; with COLUMN=2 of the CPU seconds.
round_stats() {
    local col=${COLUMN:-1}
    if [ $# -ge 3 ]; then
        paste -d' ' "$1/$2.times" "$1/$3.times" |
            awk -v c="$col" '{ print $c / ($(c + 2) > 0 ? $(c + 2) : 1e-9) }'
    else
        awk -v c="$col" '{ print $c }' "$1/$2.times"
    fi | sort -g | awk '{ v[NR] = $1 } END {
        m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
        printf "%.3f %.3f", v[1], m }'
}

# goal_line OUTDIR LABEL NAME BASE TARGET: one line of a goal: NAME's time as a ratio to
# BASE's (wall, then CPU; min and median over the rounds) beside TARGET (the most the
# median wall ratio may be; "-" for a figure without a goal) and whether it holds.
goal_line() {
    local w c verdict=""
    read -r -a w <<<"$(round_stats "$1" "$3" "$4")"
    read -r -a c <<<"$(COLUMN=2 round_stats "$1" "$3" "$4")"
    if [ "$5" != - ]; then
        verdict=$(awk -v m="${w[1]}" -v t="$5" 'BEGIN { print (m <= t ? "met" : "MISSED") }')
        verdict="  target <= ${5}x: $verdict"
    fi
    printf '  %-44s wall %sx min, %sx median; cpu %sx min, %sx median%s\n' \
        "$2" "${w[0]}" "${w[1]}" "${c[0]}" "${c[1]}" "$verdict"
}

# time_line OUTDIR LABEL NAME: NAME's own wall seconds, min and median.
time_line() {
    local w
    read -r -a w <<<"$(round_stats "$1" "$3")"
    printf '  %-44s %s s min, %s s median\n' "$2" "${w[0]}" "${w[1]}"
}

# load_line: the machine's load average and CPU count, to read the figures by.
load_line() {
    printf '  load average %s (%s CPUs)\n' "$(cut -d' ' -f1-3 /proc/loadavg)" "$(nproc)"
}
