#!/bin/sh
# Fails when an include under src/ points the wrong way; prints each one as file:line.
#
# The folders stand in one order, lowest first (ARCHITECTURE.md, "Dependencies"):
#   0 stationdb   1 platform   2 appearance printing startup   3 session   4 maintenance
#   5 qrz reports roster backup licences netshare netstats   6 mainwindow   (app, the program, above all)
# A core file (not under a ui/ folder) includes core headers of its own level or below and
# nothing of Qt Widgets, Print Support or Multimedia. A ui/ file includes core headers of
# any folder and ui/ headers of its own level or below.
set -e
cd "$(dirname "$0")/.."

# The Qt modules a core file never uses, named by the installed headers: without them a
# core file's <QWidget> would pass unseen, so their absence fails the check.
qtdir=""
for d in /usr/include/*/qt6 /usr/include/qt6; do
    [ -d "$d/QtWidgets" ] && qtdir="$d" && break
done
if [ -z "$qtdir" ]; then
    echo "check-includes: no Qt 6 Widgets headers found (run scripts/ensure-packages.sh)" >&2
    exit 1
fi
widgetheaders=$(
    if [ -n "$qtdir" ]; then
        for m in QtWidgets QtPrintSupport QtMultimedia QtMultimediaWidgets QtCharts; do
            [ -d "$qtdir/$m" ] && ls "$qtdir/$m"
        done
    fi | tr '\n' ' '
)

awk -v widgets="$widgetheaders" '
BEGIN {
    split("stationdb=0 platform=1 appearance=2 printing=2 startup=2 session=3 maintenance=4 " \
          "qrz=5 reports=5 roster=5 backup=5 licences=5 netshare=5 netstats=5 mainwindow=6 app=7", pairs, " ")
    for (i in pairs) { split(pairs[i], kv, "="); level[kv[1]] = kv[2] }
    n = split(widgets, w, " ")
    for (i = 1; i <= n; i++) widget[w[i]] = 1
    widget["QtWidgets"] = 1; widget["QtPrintSupport"] = 1; widget["QtMultimedia"] = 1
    widget["QtCharts"] = 1
    bad = 0
}
FNR == 1 {
    split(FILENAME, parts, "/")
    folder = parts[2]
    # The program itself builds the windows, so it counts as a window file.
    ui = FILENAME ~ /\/ui\// || folder == "app"
    dir = FILENAME; sub(/\/[^\/]*$/, "", dir)
    if (!(folder in level)) {
        print FILENAME ":1: folder " folder " has no place in the order (scripts/check-includes.sh)"
        bad = 1
    }
}
/^[ \t]*#[ \t]*include[ \t]*"/ {
    inc = $0; sub(/^[^"]*"/, "", inc); sub(/".*$/, "", inc)
    # A name without a folder is a file beside this one.
    target = (inc ~ /\//) ? "src/" inc : dir "/" inc
    split(target, t, "/")
    tfolder = t[2]
    tui = target ~ /\/ui\//
    why = ""
    if (!ui && tui)
        why = "a core file includes a window header"
    else if ((tfolder in level) && (folder in level) && level[tfolder] > level[folder] && (tui || !ui))
        why = "points up: " folder " (" level[folder] ") includes " tfolder " (" level[tfolder] ")"
    if (why != "") { print FILENAME ":" FNR ": #include \"" inc "\" - " why; bad = 1 }
}
/^[ \t]*#[ \t]*include[ \t]*</ && FILENAME !~ /\/ui\// && FILENAME !~ /^src\/app\// {
    inc = $0; sub(/^[^<]*</, "", inc); sub(/>.*$/, "", inc)
    top = inc; sub(/\/.*$/, "", top)
    if ((inc in widget) || (inc ~ /\// && top in widget)) {
        print FILENAME ":" FNR ": #include <" inc "> - a core file uses Qt Widgets"
        bad = 1
    }
}
END { exit bad }
' $(git ls-files -- 'src/*.cpp' 'src/*.h')
