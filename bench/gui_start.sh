#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# GUI start-up benchmark: the desktop program's start (configuration file, settings, the
# main menu painted) against a bare Qt window painted, each a whole process, interleaved,
# ROUNDS rounds (default 7), in one X server (Xvfb when available, else offscreen); the
# ratio to the bare window of the same round, min and median.
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
    # A free display number, told by the server once it listens.
    Xvfb -displayfd 3 -screen 0 1280x1024x24 3>"$work/display" >/dev/null 2>&1 &
    xpid=$!
    for _ in {1..100}; do
        [ -s "$work/display" ] && break
        sleep 0.1
    done
    export DISPLAY=:$(cat "$work/display")
else
    export QT_QPA_PLATFORM=offscreen
fi
measure bare "'$prog' --bare"
measure tobrin "cd '$work' && '$prog' '$work/tobrin.cfg'"
rounds=${ROUNDS:-7}
run_rounds "$rounds"
echo "gui start: first window painted, whole process; $(machine_line)"
echo "  $rounds rounds interleaved; each figure: time / its baseline's time in the same round, min / median"
heading_ratios "bare Qt window" bare
figure "tobrin main menu" tobrin bare "the bare window"
