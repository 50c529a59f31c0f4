#!/bin/sh
# Runs one test on a desktop of its own: a private X server on a free display, with openbox
# managing the windows as on an operator's machine (a bare X server hides paint faults).
# Usage: xcb-run.sh test-program [arguments]
set -u
work=$(mktemp -d)
trap 'kill $wm $xserver 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT INT TERM
# Xvfb picks the display itself and writes its number once it accepts connections.
Xvfb -displayfd 3 -screen 0 1600x1200x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xserver=$!
wm=
i=0
while [ ! -s "$work/display" ]; do
    i=$((i + 1))
    if [ $i -gt 100 ] || ! kill -0 $xserver 2>/dev/null; then
        echo "xcb-run: the X server did not start" >&2
        cat "$work/xvfb.log" >&2
        exit 1
    fi
    sleep 0.1
done
DISPLAY=:$(cat "$work/display")
export DISPLAY
# openbox is ready once it has claimed the window manager selection of screen 0.
openbox --sm-disable >"$work/openbox.log" 2>&1 &
wm=$!
i=0
until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; do
    i=$((i + 1))
    if [ $i -gt 100 ] || ! kill -0 $wm 2>/dev/null; then
        echo "xcb-run: openbox did not start" >&2
        cat "$work/openbox.log" >&2
        exit 1
    fi
    sleep 0.1
done
QT_QPA_PLATFORM=xcb "$@"
status=$?
exit $status
