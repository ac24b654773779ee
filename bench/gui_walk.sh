#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# GUI walk benchmark: the same synthetic medium as walk.sh, acquired once by
# `tobrin-cli walk` and once by the acquisition screen (tobrin-gui-walk, under Xvfb when
# available, else offscreen), so the cost of the progress window and the list shows.
# Usage: bench/gui_walk.sh BUILD_DIR
set -euo pipefail
build=${1:?usage: bench/gui_walk.sh BUILD_DIR}
build=$(cd "$build" && pwd)
source "$(dirname "$0")/common.bash"
[ -x "$build/tobrin-gui-walk" ] || { echo "gui_walk.sh: tobrin-gui-walk not built" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
med=$work/med
make_medium "$med"
printf '#40:q=%s\r\n#03:q\r\n#10:0\r\n#60:19999\r\n#61:19999\r\n' "$med" >"$work/tobrin.cfg"
find "$med" -type d >/dev/null # warm the cache

t0=$(date +%s.%N)
(cd "$work" && "$build/tobrin-cli" walk --drive q --config "$work/tobrin.cfg" >/dev/null 2>&1) || true
t1=$(date +%s.%N)
t_cli=$(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.3f", b - a }')

gui_command "$build/tobrin-gui-walk" "$work/tobrin.cfg"
out=$(cd "$work" && "${gui[@]}" 2>/dev/null)
t_gui=$(echo "$out" | awk -F'\t' '$1 == "seconds" { print $2 }')
n=$(echo "$out" | awk -F'\t' '$1 == "EntryCount" { print $2 }')
echo "gui walk: $n directories"
echo "  tobrin-cli walk (whole process)  ${t_cli} s"
echo "  acquisition screen (取得開始)     ${t_gui} s"
