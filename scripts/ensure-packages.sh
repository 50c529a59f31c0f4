#!/bin/sh
# Installs the Debian/Ubuntu packages the build needs, only those that are missing.
set -e
PACKAGES="cmake ninja-build g++ qt6-base-dev qt6-multimedia-dev qt6-charts-dev libqt6sql6-sqlite libarchive-dev libbenchmark-dev libqt6opengl6-dev libgl-dev fonts-dejavu-core fonts-dejavu-extra poppler-utils xvfb openbox x11-utils xdotool dbus at-spi2-core python3-gi gir1.2-atspi-2.0 syncthing $*"
missing=""
for p in $PACKAGES; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
echo "Installing:$missing"
if [ "$(id -u)" -eq 0 ]; then SUDO=""; else SUDO="sudo"; fi
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends $missing
