#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Image walk benchmark: the synthetic medium of walk.sh (about 19,000 directories, 2,250
# files of FILE_KB KiB, 16 by default), written as an ISO 9660 image (Rock Ridge and Joliet)
# and as a zip with libarchive (`tobrin-make-image`). Times, interleaved over ROUNDS rounds
# (5 by default, warm cache), `find DIR -type d | sort` over the extracted tree against
# `tobrin-cli walk --image` and `register --image --prune` of each (start-up included), and
# prints each as a ratio to find from the same round (min and median), beside its goal, and
# the machine's load.
# Usage: bench/image_walk.sh BUILD_DIR   (ROUNDS=n, FILE_KB=n in the environment)
set -euo pipefail
build=${1:?usage: bench/image_walk.sh BUILD_DIR}
source "$(dirname "$0")/common.bash"
build=$(cd "$build" && pwd)
cli=$build/tobrin-cli
maker=$build/tobrin-make-image
for p in "$cli" "$maker"; do [ -x "$p" ] || { echo "image_walk.sh: $p not built" >&2; exit 1; }; done
kb=${FILE_KB:-16}
n=${ROUNDS:-5}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
tree=$work/tree
make_medium "$tree"
head -c $((kb * 1024)) /dev/urandom >"$work/blob"
# The medium's files are empty: give each the same FILE_KB of data.
find "$tree" -type f -print0 | xargs -0 -n 500 sh -c 'for f; do cat "$0" >"$f"; done' "$work/blob"
"$maker" iso "$work/disc.iso" "$tree"
"$maker" zip "$work/disc.zip" "$tree"
printf '#60:19999\r\n#61:19999\r\n' >"$work/tobrin.cfg"

files=$(find "$tree" -type f | wc -l)
dirs=$(($(find "$tree" -type d | wc -l) - 1))
for img in disc.iso disc.zip; do
    (cd "$work" && "$cli" walk --drive i --image "$img" >"$work/$img.txt" 2>&1) || true
    walked=$(awk -F'\t' '$1 == "EntryCount" { print $2 }' "$work/$img.txt")
    [ "$walked" = "$dirs" ] || { echo "image_walk.sh: $img listed $walked of $dirs directories" >&2; exit 1; }
done

load_line
rounds "$work/t" "$n" \
    find "find '$tree' -type d | sort" \
    iso "cd '$work' && '$cli' walk --drive i --image disc.iso" \
    zip "cd '$work' && '$cli' walk --drive i --image disc.zip" \
    iso_reg "cd '$work' && rm -f tobrin.dat && '$cli' register --drive i --image disc.iso --title T --prune" \
    zip_reg "cd '$work' && rm -f tobrin.dat && '$cli' register --drive i --image disc.zip --title T --prune"
echo "image walk: $files files of $kb KiB, $dirs directories, $n rounds;" \
    "disc.iso $(du -m "$work/disc.iso" | cut -f1) MB, disc.zip $(du -m "$work/disc.zip" | cut -f1) MB"
time_line "$work/t" "find -type d | sort (extracted tree)" find
time_line "$work/t" "tobrin-cli walk --image disc.zip" zip
goal_line "$work/t" "walk --image disc.zip / find -type d | sort" zip find 2
goal_line "$work/t" "walk --image disc.iso / find -type d | sort" iso find -
goal_line "$work/t" "register --image disc.zip --prune / find" zip_reg find -
goal_line "$work/t" "register --image disc.iso --prune / find" iso_reg find -
load_line
