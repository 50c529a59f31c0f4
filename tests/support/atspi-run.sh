#!/bin/sh
# Runs one test with a screen reader's view of it: a D-Bus session of its own with the
# accessibility bus switched on (as a desktop does when a screen reader starts), then the
# test on its own X server and window manager (xcb-run.sh). The test starts the listener
# (atspi-listen.py) itself.
# Usage: atspi-run.sh test-program [arguments]
set -u
here=$(cd "$(dirname "$0")" && pwd)
if [ -z "${VORQ_IN_DBUS_SESSION:-}" ]; then
    VORQ_IN_DBUS_SESSION=1 exec dbus-run-session -- sh "$0" "$@"
fi
dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus \
    org.freedesktop.DBus.Properties.Set string:org.a11y.Status string:IsEnabled \
    variant:boolean:true >/dev/null || exit 1
VORQ_ATSPI_LISTENER="$here/atspi-listen.py" QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 \
    exec sh "$here/xcb-run.sh" "$@"
