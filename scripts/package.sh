#!/bin/sh
# Builds the Debian package (build/vorq_<version>_<arch>.deb) with CPack, checks it with
# desktop-file-validate, appstreamcli and lintian, unpacks it into a scratch folder and
# starts the unpacked program there (--version, no display).
set -e
cd "$(dirname "$0")/.."
scripts/ensure-packages.sh dpkg-dev file desktop-file-utils appstream lintian
scripts/build.sh
rm -f build/vorq_*.deb
(cd build && cpack -G DEB >/dev/null)
version=$(sed -n 's/^project(vorq VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
deb="build/vorq_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || { echo "package: $deb was not built"; exit 1; }

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
dpkg-deb -x "$deb" "$scratch"
desktop-file-validate "$scratch"/usr/share/applications/*.desktop
appstreamcli validate --no-net "$scratch"/usr/share/metainfo/*.metainfo.xml
lintian --fail-on error --display-info "$deb"

# The installed program answers without a display and without a program folder.
answer=$(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=offscreen HOME="$scratch/home" \
    "$scratch/usr/bin/vorq" --version)
[ "$answer" = "vorq $version" ] || { echo "package: vorq --version said '$answer'"; exit 1; }
[ ! -e "$scratch/home/VORQ" ] || { echo "package: --version touched the program folder"; exit 1; }
echo "package: $deb built, checked and started"
