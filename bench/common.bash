# SPDX-License-Identifier: GPL-3.0-or-later
# Shared by the benchmark scripts (sourced; not a benchmark itself, so run-all skips it).
#
# Every timed command writes its output to a file ($work/bench.out; each script makes its
# scratch directory `work` first): a command whose output goes to /dev/null may stop early
# (GNU grep stops at its first match when it knows nobody reads what it writes).

# Decimal points, whatever the user's locale ($EPOCHREALTIME follows it).
export LC_NUMERIC=C

# seconds_since T0: the wall time since $EPOCHREALTIME was T0 (no process started to read
# the clock).
seconds_since() {
    awk -v a="$1" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.4f", b - a }'
}

# time_once CMD...: the wall time of one run of CMD, its output written to $work/bench.out.
time_once() {
    local t0=$EPOCHREALTIME
    "$@" >"${work:?}/bench.out" 2>&1 || true
    seconds_since "$t0"
}

# best RUNS CMD...: the best wall time of RUNS runs of CMD, in seconds.
best() {
    local runs=$1 b="" t i
    shift
    for ((i = 0; i < runs; i++)); do
        t=$(time_once "$@")
        if [ -z "$b" ] || awk -v x="$t" -v y="$b" 'BEGIN { exit !(x < y) }'; then b=$t; fi
    done
    echo "$b"
}

# Interleaved measurement: `measure NAME SHELL-COMMAND` registers a command; `run_rounds N`
# runs every registered command once per round, in turn, N rounds (at least five), so
# that a baseline and what is compared with it see the same load. Afterwards:
#   seconds_min NAME, seconds_median NAME    the command's own times;
#   ratio_min NAME BASE, ratio_median NAME BASE
#                                            its time divided by BASE's of the same round.
declare -A bench_cmd bench_times
bench_names=()
measure() {
    bench_names+=("$1")
    bench_cmd[$1]=$2
    bench_times[$1]=""
}
run_rounds() {
    local rounds=$1 r n
    ((rounds >= 5)) || rounds=5
    for ((r = 0; r < rounds; r++)); do
        for n in "${bench_names[@]}"; do
            [ -n "${bench_cmd[$n]:-}" ] || continue
            bench_times[$n]+="$(time_once sh -c "${bench_cmd[$n]}") "
        done
    done
}
# record NAME SECONDS: one round's time measured some other way (a program's own timer).
record() {
    [ -n "${bench_times[$1]+set}" ] || bench_names+=("$1")
    bench_times[$1]+="$2 "
}
# stats MIN|MEDIAN NUMBERS...: the smallest or the median of the numbers.
stats() {
    local which=$1
    shift
    printf '%s\n' "$@" | sort -g | awk -v w="$which" '{ v[NR] = $1 }
        END { if (w == "min") print v[1]; else print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
seconds_min() { stats min ${bench_times[$1]}; }
seconds_median() { stats median ${bench_times[$1]}; }
# The per-round ratios of NAME to BASE.
round_ratios() {
    local -a a b
    read -ra a <<<"${bench_times[$1]}"
    read -ra b <<<"${bench_times[$2]}"
    local i
    for ((i = 0; i < ${#a[@]}; i++)); do
        awk -v x="${a[i]}" -v y="${b[i]}" 'BEGIN { printf "%.4f\n", (y > 0 ? x / y : 0) }'
    done
}
ratio_min() { printf '%.2f' "$(stats min $(round_ratios "$1" "$2"))"; }
ratio_median() { printf '%.2f' "$(stats median $(round_ratios "$1" "$2"))"; }

# machine_line: cores and load, for the heading of each benchmark.
machine_line() {
    echo "$(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg) (1, 5, 15 min)"
}

# figure LABEL NAME BASE WHAT: one line, NAME's time as a ratio to BASE's, min and median
# over the rounds.
figure() {
    printf '  %-38s %6sx / %6sx  %s\n' "$1" "$(ratio_min "$2" "$3")" "$(ratio_median "$2" "$3")" "$4"
}
# goal LABEL NAME BASE TARGET WHAT: a figure with a target for its median ratio, marked met
# or not; also appended to $BENCH_GOALS when set (run-all lists them at the end).
goal() {
    local med verdict
    med=$(ratio_median "$2" "$3")
    if awk -v m="$med" -v t="$4" 'BEGIN { exit !(m <= t) }'; then verdict=met; else verdict="NOT met"; fi
    printf '  %-38s %6sx / %6sx  %s; goal <= %sx: %s\n' "$1" "$(ratio_min "$2" "$3")" "$med" "$5" "$4" "$verdict"
    if [ -n "${BENCH_GOALS:-}" ]; then
        printf '%s\t%s\t%s\t%s\t%s\n' "$1" "$med" "$4" "$5" "$verdict" >>"$BENCH_GOALS"
    fi
}
# heading_ratios BASE-LABEL NAME: the column heads and the baseline's own time.
heading_ratios() {
    printf '  %-38s %s s min, %s s median (baseline)\n' "$1" "$(seconds_min "$2")" "$(seconds_median "$2")"
    printf '  %-38s %7s / %7s\n' "" "min" "median"
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
    local -a cmds=("$@")
    mkdir -p "$out"
    for ((i = 0; i < ${#cmds[@]}; i += 2)); do : >"$out/${cmds[i]}.times"; done
    for ((r = 0; r < n; r++)); do
        for ((i = 0; i < ${#cmds[@]}; i += 2)); do
            t=$({
                TIMEFORMAT='%R %U %S'
                time bash -c "${cmds[i + 1]}" >"$out/${cmds[i]}.out" 2>&1 || echo "FAILED"
            } 2>&1)
            case $t in *FAILED*)
                echo "rounds: '${cmds[i + 1]}' failed (output in $out/${cmds[i]}.out)" >&2
                return 1 ;;
            esac
            awk '{ printf "%.4f %.4f\n", $1, $2 + $3 }' <<<"$t" >>"$out/${cmds[i]}.times"
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
