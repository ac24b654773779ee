#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# GUI search benchmark: a synthetic catalogue (gen-catalogue.awk, 1200 blocks of 500
# directories) searched for a word found in 19,892 result lines (headers and paths,
# just under the 19,999 the configuration allows), by the search screen (tobrin-gui-search,
# its own timers: scan, sort, progress window, the result list filled and painted), plus
# the screen's block search and the directory viewer on the last block, which reads the
# whole file to reach it; each against one whole `tobrin-cli search` process for the same
# word, sorted, interleaved, ROUNDS rounds (default 5), min and median. Goals: the screen's
# search at most 1.2x the command line's, and the longest time the window's event loop was
# blocked at most 100 ms (a ratio to 100 ms of at most 1).
# Usage: bench/gui_search.sh BUILD_DIR [BLOCKS]
set -euo pipefail
build=${1:?usage: bench/gui_search.sh BUILD_DIR [BLOCKS]}
blocks=${2:-1200}
build=$(cd "$build" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
source "$here/common.bash"
for p in tobrin-cli tobrin-gui-search; do
    [ -x "$build/$p" ] || { echo "gui_search.sh: $p not built" >&2; exit 1; }
done
command -v iconv >/dev/null || { echo "gui_search.sh: iconv not found" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
word=壁紙
awk -v BLOCKS="$blocks" -v RARE=Zyxwq -f "$here/gen-catalogue.awk" |
    iconv -f UTF-8 -t CP932 >"$work/tobrin.dat"
printf '#60:19999\r\n#61:19999\r\n#62:9999\r\n#63:19999\r\n' >"$work/tobrin.cfg"

gui_command "$build/tobrin-gui-search"
rounds=${ROUNDS:-5}
for ((r = 0; r < rounds; r++)); do
    record cli "$(time_once sh -c "cd '$work' && '$build/tobrin-cli' search --show all '$word'")"
    out=$(cd "$work" && "${gui[@]}" "$work/tobrin.cfg" "$word" 2>/dev/null)
    val() { echo "$out" | awk -F'\t' -v k="$1" '$1 == k { print $2 }'; }
    record string "$(val string_seconds)"
    record block "$(val block_seconds)"
    record view "$(val viewer_seconds)"
    record string_blocked "$(val string_blocked_ms)"
    record block_blocked "$(val block_blocked_ms)"
    record ms100 100
done
size=$(awk -v b="$(wc -c <"$work/tobrin.dat")" 'BEGIN { printf "%.1f", b / 1048576 }')
echo "gui search: $blocks blocks x 500 directories, ${size} MiB; $(machine_line)"
echo "  $rounds rounds interleaved; each figure: time / its baseline's time in the same round, min / median"
heading_ratios "tobrin-cli search $word, sorted (whole process)" cli
goal "文字列検索, sorted, $(val string_lines) lines" string cli 1.2 "tobrin-cli"
figure "ﾌﾞﾛｯｸ検索, $(val blocks) blocks listed" block cli "tobrin-cli"
figure "ﾃﾞｨﾚｸﾄﾘ表示, last block, $(val viewer_dirs) dirs" view cli "tobrin-cli"
echo "  the longest time the event loop was blocked, to 100 ms"
goal "文字列検索" string_blocked ms100 1 "100 ms"
goal "ﾌﾞﾛｯｸ検索" block_blocked ms100 1 "100 ms"
