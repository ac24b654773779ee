#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Image walk benchmark: a tree of 20,000 files in 1,020 directories, written as an ISO 9660
# image (Rock Ridge and Joliet) and as a zip with libarchive; times `tobrin-cli walk` and
# `register` of each against `find DIR` over the extracted tree (warm cache, best of 3).
# FILE_KB (default 32) sets each file's size: 32 KiB makes an ISO of about 700 MB.
# Usage: bench/image_walk.sh BUILD_DIR
set -euo pipefail
build=${1:?usage: bench/image_walk.sh BUILD_DIR}
source "$(dirname "$0")/common.bash"
build=$(cd "$build" && pwd)
cli=$build/tobrin-cli
maker=$build/tobrin-make-image
for p in "$cli" "$maker"; do [ -x "$p" ] || { echo "image_walk.sh: $p not built" >&2; exit 1; }; done
kb=${FILE_KB:-32}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
tree=$work/tree
mkdir -p "$tree"
head -c $((kb * 1024)) /dev/urandom >"$work/blob"
(
    cd "$tree"
    mkdir -p d{00..19}/s{00..49}
    # One tee per 500 files (below the open-file limit) writes the 20,000 copies.
    printf '%s\n' d*/s*/f{00..19}.dat | xargs -n 500 sh -c 'tee "$@" <"$0" >/dev/null' "$work/blob"
)
"$maker" iso "$work/disc.iso" "$tree"
"$maker" zip "$work/disc.zip" "$tree"
printf '#60:19999\r\n#61:19999\r\n' >"$work/tobrin.cfg"

files=$(find "$tree" -type f | wc -l)
dirs=$(($(find "$tree" -type d | wc -l) - 1))
for img in disc.iso disc.zip; do
    walked=$(cd "$work" && "$cli" walk --drive i --image "$img" 2>/dev/null | awk -F'\t' '$1 == "EntryCount" { print $2 }')
    [ "$walked" = "$dirs" ] || { echo "image_walk.sh: $img listed $walked of $dirs directories" >&2; exit 1; }
done

t_find=$(best 3 find "$tree")
echo "image walk: $files files, $dirs directories; disc.iso $(du -m "$work/disc.iso" | cut -f1) MB"
echo "  find DIR (extracted)            ${t_find} s"
for img in disc.iso disc.zip; do
    t_walk=$(best 3 sh -c "cd '$work' && '$cli' walk --drive i --image $img")
    t_reg=$(best 3 sh -c "cd '$work' && rm -f tobrin.dat && '$cli' register --drive i --image $img --title T --prune")
    printf '  tobrin-cli walk --image %-8s %s s  (%sx find)\n' "$img" "$t_walk" "$(awk -v a="$t_walk" -v b="$t_find" 'BEGIN { printf "%.1f", a / b }')"
    printf '  tobrin-cli register --prune     %s s\n' "$t_reg"
done
