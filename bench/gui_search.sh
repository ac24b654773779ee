#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# GUI search benchmark: a synthetic catalogue (gen-catalogue.awk, 800 blocks of 500
# directories) searched for a word found in some 12,000 paths by the search screen
# (tobrin-gui-search, its own timers: scan, sort, progress window and the result list
# filled), plus the screen's block search and the directory viewer on the last block,
# which reads the whole file to reach it; each against one whole `tobrin-cli search`
# process for the same word, interleaved, ROUNDS rounds (default 5), min and median.
# Usage: bench/gui_search.sh BUILD_DIR [BLOCKS]
set -euo pipefail
build=${1:?usage: bench/gui_search.sh BUILD_DIR [BLOCKS]}
blocks=${2:-800}
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
done
size=$(awk -v b="$(wc -c <"$work/tobrin.dat")" 'BEGIN { printf "%.1f", b / 1048576 }')
echo "gui search: $blocks blocks x 500 directories, ${size} MiB; $(machine_line)"
echo "  $rounds rounds interleaved; each figure: time / its baseline's time in the same round, min / median"
heading_ratios "tobrin-cli search $word (whole process)" cli
figure "文字列検索, sorted, $(val string_lines) lines" string cli "the cli search"
figure "ﾌﾞﾛｯｸ検索, $(val blocks) blocks listed" block cli "the cli search"
figure "ﾃﾞｨﾚｸﾄﾘ表示, last block, $(val viewer_dirs) dirs" view cli "the cli search"
