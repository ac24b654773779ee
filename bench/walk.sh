#!/usr/bin/env bash
# Walk benchmark: builds a synthetic medium of about 19,000 directories (some hidden, some
# holding files) in a temporary directory and times `tobrin-cli walk` against
# `find DIR -type d` on the same tree (warm cache, best of 3 runs each).
# Usage: bench/walk.sh BUILD_DIR
set -euo pipefail
build=${1:?usage: bench/walk.sh BUILD_DIR}
cli=$(cd "$build" && pwd)/tobrin-cli
[ -x "$cli" ] || { echo "walk.sh: $cli not built" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
med=$work/med
mkdir -p "$med"
(
    cd "$med"
    # 30 top directories (half hidden), 25 below each, 24 below those (half hidden).
    mkdir -p {d,.h}{00..14}/s{00..24}/{l,.l}{00..11}
    touch {d,.h}{00..14}/s{00..24}/f.txt d{00..14}/s{00..24}/l{00..03}/x.dat
)
# Capacities at the configuration's upper bound; drive q is the synthetic medium.
printf '#40:q=%s\r\n#60:19999\r\n#61:19999\r\n' "$med" >"$work/tobrin.cfg"

dirs=$(($(find "$med" -type d | wc -l) - 1))
best() { # best wall time of 3 runs, in seconds
    local b="" t0 t1 t
    for _ in 1 2 3; do
        t0=$(date +%s.%N)
        "$@" >/dev/null 2>&1 || true
        t1=$(date +%s.%N)
        t=$(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.4f", b - a }')
        if [ -z "$b" ] || awk -v x="$t" -v y="$b" 'BEGIN { exit !(x < y) }'; then b=$t; fi
    done
    echo "$b"
}
walked=$(cd "$work" && "$cli" walk --drive q 2>/dev/null | awk -F'\t' '$1 == "EntryCount" { print $2 }')
[ "$walked" = "$dirs" ] || { echo "walk.sh: walk listed $walked of $dirs directories" >&2; exit 1; }

t_find=$(best find "$med" -type d)
t_walk=$(best sh -c "cd '$work' && '$cli' walk --drive q")
t_prune=$(best sh -c "cd '$work' && '$cli' walk --drive q --prune")
echo "walk: $dirs directories"
echo "  find -type d            ${t_find} s"
echo "  tobrin-cli walk         ${t_walk} s  ($(awk -v a="$t_walk" -v b="$t_find" 'BEGIN { printf "%.1f", a / b }')x find)"
echo "  tobrin-cli walk --prune ${t_prune} s"
