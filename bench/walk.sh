#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Walk benchmark: builds a synthetic medium of about 19,000 directories (some hidden, some
# holding files) in a temporary directory and times, interleaved over ROUNDS rounds (5 by
# default, warm cache), `find DIR -type d | sort`, `tobrin-cli walk` and `walk --prune` on the
# same tree. Prints each figure as a ratio to its baseline from the same round (min and
# median), beside its goal, and the machine's load.
# Usage: bench/walk.sh BUILD_DIR   (ROUNDS=n in the environment for more rounds)
set -euo pipefail
build=${1:?usage: bench/walk.sh BUILD_DIR}
source "$(dirname "$0")/common.bash"
cli=$(cd "$build" && pwd)/tobrin-cli
[ -x "$cli" ] || { echo "walk.sh: $cli not built" >&2; exit 1; }
n=${ROUNDS:-5}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
med=$work/med
make_medium "$med"
# Capacities at the configuration's upper bound; drive q is the synthetic medium.
printf '#40:q=%s\r\n#60:19999\r\n#61:19999\r\n' "$med" >"$work/tobrin.cfg"

dirs=$(($(find "$med" -type d | wc -l) - 1))
(cd "$work" && "$cli" walk --drive q >"$work/walk.txt" 2>&1) || true
walked=$(awk -F'\t' '$1 == "EntryCount" { print $2 }' "$work/walk.txt")
[ "$walked" = "$dirs" ] || { echo "walk.sh: walk listed $walked of $dirs directories" >&2; exit 1; }

load_line
rounds "$work/t" "$n" \
    find "find '$med' -type d | sort" \
    walk "cd '$work' && '$cli' walk --drive q" \
    prune "cd '$work' && '$cli' walk --drive q --prune"
echo "walk: $dirs directories, $n rounds"
time_line "$work/t" "find -type d | sort" find
time_line "$work/t" "tobrin-cli walk" walk
time_line "$work/t" "tobrin-cli walk --prune" prune
goal_line "$work/t" "tobrin-cli walk / find -type d | sort" walk find -
goal_line "$work/t" "tobrin-cli walk --prune / tobrin-cli walk" prune walk 1.5
load_line
