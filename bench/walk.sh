#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Walk benchmark: builds a synthetic medium of about 19,000 directories (some hidden, some
# holding files) in a temporary directory and times `tobrin-cli walk` against
# `find DIR -type d` on the same tree (warm cache, best of 3 runs each).
# Usage: bench/walk.sh BUILD_DIR
set -euo pipefail
build=${1:?usage: bench/walk.sh BUILD_DIR}
source "$(dirname "$0")/common.bash"
cli=$(cd "$build" && pwd)/tobrin-cli
[ -x "$cli" ] || { echo "walk.sh: $cli not built" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
med=$work/med
make_medium "$med"
# Capacities at the configuration's upper bound; drive q is the synthetic medium.
printf '#40:q=%s\r\n#60:19999\r\n#61:19999\r\n' "$med" >"$work/tobrin.cfg"

dirs=$(($(find "$med" -type d | wc -l) - 1))
walked=$(cd "$work" && "$cli" walk --drive q 2>/dev/null | awk -F'\t' '$1 == "EntryCount" { print $2 }')
[ "$walked" = "$dirs" ] || { echo "walk.sh: walk listed $walked of $dirs directories" >&2; exit 1; }

t_find=$(best 3 find "$med" -type d)
t_walk=$(best 3 sh -c "cd '$work' && '$cli' walk --drive q")
t_prune=$(best 3 sh -c "cd '$work' && '$cli' walk --drive q --prune")
echo "walk: $dirs directories"
echo "  find -type d            ${t_find} s"
echo "  tobrin-cli walk         ${t_walk} s  ($(awk -v a="$t_walk" -v b="$t_find" 'BEGIN { printf "%.1f", a / b }')x find)"
echo "  tobrin-cli walk --prune ${t_prune} s"
