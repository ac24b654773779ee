#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# GUI search benchmark: a synthetic catalogue (gen-catalogue.awk, 800 blocks of 500
# directories) searched for a word found in some 12,000 paths, once by `tobrin-cli search`
# and once by the search screen (tobrin-gui-search: scan, sort, progress window and the
# result list filled), plus the screen's block search and the directory viewer on the last
# block, which reads the whole file to reach it. Best of 3 runs each, warm cache.
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
min() { awk -v x="$1" -v y="$2" 'BEGIN { print (y == "" || x < y) ? x : y }'; }
t_cli="" t_str="" t_blk="" t_view=""
for _ in 1 2 3; do
    t0=$(date +%s.%N)
    (cd "$work" && "$build/tobrin-cli" search --show all "$word" >/dev/null 2>&1) || true
    t1=$(date +%s.%N)
    t_cli=$(min "$(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.3f", b - a }')" "$t_cli")
    out=$(cd "$work" && "${gui[@]}" "$work/tobrin.cfg" "$word" 2>/dev/null)
    val() { echo "$out" | awk -F'\t' -v k="$1" '$1 == k { print $2 }'; }
    t_str=$(min "$(val string_seconds)" "$t_str")
    t_blk=$(min "$(val block_seconds)" "$t_blk")
    t_view=$(min "$(val viewer_seconds)" "$t_view")
done
size=$(awk -v b="$(wc -c <"$work/tobrin.dat")" 'BEGIN { printf "%.1f", b / 1048576 }')
echo "gui search: $blocks blocks x 500 directories, ${size} MiB"
echo "  tobrin-cli search (whole process)   ${t_cli} s"
echo "  文字列検索, sorted, $(val string_lines) lines listed   ${t_str} s"
echo "  ﾌﾞﾛｯｸ検索, $(val blocks) blocks listed          ${t_blk} s"
echo "  ﾃﾞｨﾚｸﾄﾘ表示, last block, $(val viewer_dirs) dirs     ${t_view} s"
