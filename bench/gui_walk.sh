#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# GUI walk benchmark: the same synthetic medium as walk.sh, acquired by the acquisition
# screen (tobrin-gui-walk, under Xvfb when available, else offscreen; its own timer from
# 取得開始 to the filled list) against one whole `tobrin-cli walk` process, interleaved,
# ROUNDS rounds (default 5), so that the cost of the progress window and the list shows;
# the ratio to the walk of the same round, min and median.
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

gui_command "$build/tobrin-gui-walk" "$work/tobrin.cfg"
rounds=${ROUNDS:-5}
for ((r = 0; r < rounds; r++)); do
    record cli "$(time_once sh -c "cd '$work' && '$build/tobrin-cli' walk --drive q --config '$work/tobrin.cfg'")"
    out=$(cd "$work" && "${gui[@]}" 2>/dev/null)
    record gui "$(echo "$out" | awk -F'\t' '$1 == "seconds" { print $2 }')"
done
n=$(echo "$out" | awk -F'\t' '$1 == "EntryCount" { print $2 }')
echo "gui walk: $n directories; $(machine_line)"
echo "  $rounds rounds interleaved; each figure: time / its baseline's time in the same round, min / median"
heading_ratios "tobrin-cli walk (whole process)" cli
figure "acquisition screen (取得開始)" gui cli "the walk"
