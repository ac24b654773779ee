#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# GUI start-up benchmark: the desktop program's start (configuration file, settings, the
# main menu painted) against a bare Qt window painted, each a whole process, interleaved,
# best of 7, in one X server (Xvfb when available, else offscreen).
# Usage: bench/gui_start.sh BUILD_DIR
set -euo pipefail
build=${1:?usage: bench/gui_start.sh BUILD_DIR}
build=$(cd "$build" && pwd)
source "$(dirname "$0")/common.bash"
prog=$build/tobrin-gui-start
[ -x "$prog" ] || { echo "gui_start.sh: tobrin-gui-start not built" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"; [ -n "${xpid:-}" ] && kill "$xpid" 2>/dev/null' EXIT
printf '#05:10\r\n#51:DOS/V POWER REPORT\r\n#52:Example Press\r\n#60:2000\r\n' >"$work/tobrin.cfg"
if command -v Xvfb >/dev/null; then
    Xvfb :77 -screen 0 1280x1024x24 >/dev/null 2>&1 &
    xpid=$!
    sleep 1
    export DISPLAY=:77
else
    export QT_QPA_PLATFORM=offscreen
fi
b_bare="" b_tobrin=""
for round in 1 2 3 4 5 6 7; do
    t=$(best 1 "$prog" --bare)
    if [ -z "$b_bare" ] || awk -v x="$t" -v y="$b_bare" 'BEGIN { exit !(x < y) }'; then b_bare=$t; fi
    t=$(best 1 sh -c "cd '$work' && '$prog' '$work/tobrin.cfg'")
    if [ -z "$b_tobrin" ] || awk -v x="$t" -v y="$b_tobrin" 'BEGIN { exit !(x < y) }'; then b_tobrin=$t; fi
done
echo "gui start: first window painted, whole process"
echo "  bare Qt window          ${b_bare} s"
echo "  tobrin main menu        ${b_tobrin} s  $(awk -v a="$b_tobrin" -v b="$b_bare" 'BEGIN { printf "%.2f", a / b }')x the bare window"
