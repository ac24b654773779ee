#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Search benchmark: writes a synthetic catalogue in code page 932 (BLOCKS blocks of 500
# directories: ASCII, kanji, kana, full-width and half-width names; capacities raised in a
# configuration file) and times, interleaved, ROUNDS rounds (default 5, warm cache), every
# output written to a file:
#   `tobrin-cli search` (case and width folded) for a rare word, for three words joined by
#   "and", and for a word whose letters are in every block but in no name (no block can be
#   passed over), against a full raw `LC_ALL=C grep -c -F` over the same bytes; the rare
#   word and three wildcard searches against `iconv -f CP932 -t UTF-8 | grep -c -i -F`;
#   and start-up (`tobrin-cli config`) with a configuration file against one without.
# Each figure is the ratio to its baseline in the same round, min and median.
# Usage: bench/search.sh BUILD_DIR [BLOCKS]   (BLOCKS 9999 by default: the most key 62 allows)
set -euo pipefail
build=${1:?usage: bench/search.sh BUILD_DIR [BLOCKS]}
blocks=${2:-9999}
here=$(cd "$(dirname "$0")" && pwd)
source "$here/common.bash"
cli=$(cd "$build" && pwd)/tobrin-cli
[ -x "$cli" ] || { echo "search.sh: $cli not built" >&2; exit 1; }
command -v iconv >/dev/null || { echo "search.sh: iconv not found" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
word=Zyxwq
and3=(--preset 2 Zyxwq tools ゲーム) # preset 2: all three in one path
none=toolsx                          # its letters are in every block, in no name
awk -v BLOCKS="$blocks" -v RARE="$word" -f "$here/gen-catalogue.awk" |
    iconv -f UTF-8 -t CP932 >"$work/tobrin.dat"
printf '#60:19999\r\n#61:19999\r\n#62:9999\r\n#63:19999\r\n' >"$work/tobrin.cfg"
mkdir "$work/bare"

found=$(cd "$work" && "$cli" search --show dirs "$word" 2>/dev/null | wc -l)
[ "$found" -ge 1 ] || { echo "search.sh: tobrin-cli search found nothing" >&2; exit 1; }
raw_count=$(LC_ALL=C grep -c -F "$word" "$work/tobrin.dat")

in_work="cd '$work' && '$cli'"
measure raw "LC_ALL=C grep -c -F '$word' '$work/tobrin.dat'"
measure pipe "iconv -f CP932 -t UTF-8 '$work/tobrin.dat' | grep -c -i -F '$word'"
measure folded "$in_work search '$word'"
measure and3 "$in_work search ${and3[*]}"
measure none "$in_work search '$none'"
measure star "$in_work search --wildcard '*zyxwq*'"
measure dosv "$in_work search --wildcard 'DOS?V*'"
measure range "$in_work search --wildcard '[a-c]*#'"
measure cfg "$in_work config"
measure nocfg "cd '$work/bare' && '$cli' config"
rounds=${ROUNDS:-5}
run_rounds "$rounds"

size=$(awk -v b="$(wc -c <"$work/tobrin.dat")" 'BEGIN { printf "%.1f", b / 1048576 }')
echo "search: $blocks blocks x 500 directories, ${size} MiB, $(wc -l <"$work/tobrin.dat") lines; $(machine_line)"
echo "  $rounds rounds interleaved; each figure: time / its baseline's time in the same round, min / median"
echo "  $word: $found paths found; grep counts $raw_count lines"
heading_ratios "LC_ALL=C grep -c -F $word (raw grep)" raw
goal "tobrin-cli search $word" folded raw 4 "raw grep"
goal "search ${and3[*]:2}, and" and3 raw 4 "raw grep"
figure "search $none (no block passed over)" none raw "raw grep"
heading_ratios "iconv | grep -c -i -F $word" pipe
figure "tobrin-cli search $word" folded pipe "the pipeline"
figure "search --wildcard '*zyxwq*'" star pipe "the pipeline"
figure "search --wildcard 'DOS?V*'" dosv pipe "the pipeline"
figure "search --wildcard '[a-c]*#'" range pipe "the pipeline"
heading_ratios "tobrin-cli config, no file" nocfg
figure "tobrin-cli config, with the file" cfg nocfg "without one"
