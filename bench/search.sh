#!/usr/bin/env bash
# Search benchmark: writes a synthetic catalogue in code page 932 (2,000 blocks of 500
# directories: ASCII, kanji, kana, full-width and half-width names; capacities raised in a
# configuration file) and times `tobrin-cli search` for a rare word, case and width folded,
# against `iconv -f CP932 -t UTF-8 FILE | grep -c -i -F WORD` on the same file (warm
# cache, best of 5 runs each).
# Usage: bench/search.sh BUILD_DIR [BLOCKS]
set -euo pipefail
build=${1:?usage: bench/search.sh BUILD_DIR [BLOCKS]}
blocks=${2:-2000}
here=$(cd "$(dirname "$0")" && pwd)
source "$here/common.bash"
cli=$(cd "$build" && pwd)/tobrin-cli
[ -x "$cli" ] || { echo "search.sh: $cli not built" >&2; exit 1; }
command -v iconv >/dev/null || { echo "search.sh: iconv not found" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
word=Zyxwq
awk -v BLOCKS="$blocks" -v RARE="$word" -f "$here/gen-catalogue.awk" |
    iconv -f UTF-8 -t CP932 >"$work/tobrin.dat"
printf '#60:19999\r\n#61:19999\r\n#62:9999\r\n#63:19999\r\n' >"$work/tobrin.cfg"

found=$(cd "$work" && "$cli" search --show dirs "$word" 2>/dev/null | wc -l)
lines=$(iconv -f CP932 -t UTF-8 "$work/tobrin.dat" | grep -c -i -F "$word" || true)
[ "$found" -ge 1 ] || { echo "search.sh: tobrin-cli search found nothing" >&2; exit 1; }

t_cli=$(best 5 sh -c "cd '$work' && '$cli' search '$word'")
t_pipe=$(best 5 sh -c "iconv -f CP932 -t UTF-8 '$work/tobrin.dat' | grep -c -i -F '$word'")
size=$(awk -v b="$(wc -c <"$work/tobrin.dat")" 'BEGIN { printf "%.1f", b / 1048576 }')
echo "search: $blocks blocks x 500 directories, ${size} MiB, $(wc -l <"$work/tobrin.dat") lines"
echo "  iconv | grep -c -i -F     ${t_pipe} s  ($lines lines)"
echo "  tobrin-cli search         ${t_cli} s  ($found paths)  $(awk -v a="$t_cli" -v b="$t_pipe" 'BEGIN { printf "%.2f", a / b }')x the pipeline"
