#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The X server goes away under an open window: the program says so in French, in one line, and
# Qt's English line is not shown. Usage: check-displaylost.sh TINKORA
set -euo pipefail
tinkora=$1
# Qt keeps objects it never frees when it ends the program with exit(): not ours to report.
export ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0
command -v Xvfb >/dev/null && command -v xwininfo >/dev/null || { echo "Xvfb or xwininfo missing"; exit 77; }

work=$(mktemp -d)
trap 'kill "$xvfb" 2>/dev/null || true; rm -rf "$work"' EXIT
Xvfb -displayfd 3 -screen 0 640x480x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb=$!
for _ in $(seq 100); do [[ -s $work/display ]] && break; sleep 0.05; done
export DISPLAY=:$(cat "$work/display")

QT_QPA_PLATFORM=xcb "$tinkora" 2>"$work/err" &
window=$!
for _ in $(seq 200); do
    xwininfo -root -tree 2>/dev/null | grep -q 'Générateur De mélodies' && break
    sleep 0.05
done
xwininfo -root -tree | grep -q 'Générateur De mélodies' || { echo "the window never showed"; exit 1; }

kill "$xvfb"
status=0
wait "$window" || status=$?
cat "$work/err"
[[ $status -ne 0 ]] || { echo "exit status 0 after the display went"; exit 1; }
grep -q "l'affichage a disparu" "$work/err" || { echo "no French line"; exit 1; }
! grep -q 'X11 connection broke' "$work/err" || { echo "Qt's English line shown"; exit 1; }
echo "display lost: said in French, exit $status"
