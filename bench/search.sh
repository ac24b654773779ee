#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Search benchmark: writes a synthetic catalogue in code page 932 (BLOCKS blocks of 500
# directories: ASCII, kanji, kana, full-width and half-width names; capacities raised in a
# configuration file) and times, interleaved, best of 5 runs each (warm cache):
#   `tobrin-cli search` for a rare word, case and width folded, against the pipeline
#   `iconv -f CP932 -t UTF-8 FILE | grep -c -i -F WORD` and a raw `LC_ALL=C grep -c -F`
#   over the bytes; three wildcard searches against the same pipeline; and start-up
#   (`tobrin-cli config`) with a configuration file against start-up without one.
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
awk -v BLOCKS="$blocks" -v RARE="$word" -f "$here/gen-catalogue.awk" |
    iconv -f UTF-8 -t CP932 >"$work/tobrin.dat"
printf '#60:19999\r\n#61:19999\r\n#62:9999\r\n#63:19999\r\n' >"$work/tobrin.cfg"
mkdir "$work/bare"

found=$(cd "$work" && "$cli" search --show dirs "$word" 2>/dev/null | wc -l)
[ "$found" -ge 1 ] || { echo "search.sh: tobrin-cli search found nothing" >&2; exit 1; }

# interleaved NAME CMD: runs every command once per round, five rounds; best of each.
declare -A best_of
names=()
add() { names+=("$1"); cmds["$1"]=$2; }
declare -A cmds
add pipe "iconv -f CP932 -t UTF-8 '$work/tobrin.dat' | grep -c -i -F '$word'"
add raw "LC_ALL=C grep -c -F '$word' '$work/tobrin.dat'"
add folded "cd '$work' && '$cli' search '$word'"
add star "cd '$work' && '$cli' search --wildcard '*zyxwq*'"
add dosv "cd '$work' && '$cli' search --wildcard 'DOS?V*'"
add range "cd '$work' && '$cli' search --wildcard '[a-c]*#'"
add cfg "cd '$work' && '$cli' config"
add nocfg "cd '$work/bare' && '$cli' config"
for round in 1 2 3 4 5; do
    for n in "${names[@]}"; do
        t=$(best 1 sh -c "${cmds[$n]}")
        if [ -z "${best_of[$n]:-}" ] || awk -v x="$t" -v y="${best_of[$n]}" 'BEGIN { exit !(x < y) }'; then
            best_of[$n]=$t
        fi
    done
done
ratio() { awk -v a="${best_of[$1]}" -v b="${best_of[$2]}" 'BEGIN { printf "%.2f", a / b }'; }
size=$(awk -v b="$(wc -c <"$work/tobrin.dat")" 'BEGIN { printf "%.1f", b / 1048576 }')
echo "search: $blocks blocks x 500 directories, ${size} MiB, $(wc -l <"$work/tobrin.dat") lines, $(nproc) cores"
echo "  iconv | grep -c -i -F          ${best_of[pipe]} s"
echo "  LC_ALL=C grep -c -F            ${best_of[raw]} s"
echo "  tobrin-cli search $word       ${best_of[folded]} s  $(ratio folded pipe)x the pipeline, $(ratio folded raw)x raw grep ($found paths)"
echo "  search --wildcard '*zyxwq*'    ${best_of[star]} s  $(ratio star pipe)x the pipeline"
echo "  search --wildcard 'DOS?V*'     ${best_of[dosv]} s  $(ratio dosv pipe)x the pipeline"
echo "  search --wildcard '[a-c]*#'    ${best_of[range]} s  $(ratio range pipe)x the pipeline"
echo "  tobrin-cli config, with file   ${best_of[cfg]} s  $(ratio cfg nocfg)x without one (${best_of[nocfg]} s)"
