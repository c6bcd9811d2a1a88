#!/bin/sh
# Builds the Debian package from a build folder into a throw-away folder, extracts it
# into a throw-away root and checks it: its fields and file list, the extracted programs
# (gridwright-cli --version, gridwright --version offscreen), the manual where the help
# window looks for it, and the extracted desktop entry.
# Usage: package_test.sh BUILD_DIR
set -eu
build=$(cd "$1" && pwd)
for tool in cpack dpkg-deb dpkg-shlibdeps desktop-file-validate; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed (scripts/setup.sh --with-test-tools)"; exit 77; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

(cd "$build" && cpack -G DEB -B "$work/out" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; exit 1; }
deb=$(ls "$work"/out/gridwright_*.deb)
echo "package: $(basename "$deb")"

fail() { echo "FAIL: $*"; exit 1; }
[ "$(dpkg-deb -f "$deb" Package)" = gridwright ] || fail "package name"
dpkg-deb -f "$deb" Maintainer | grep -q . || fail "no maintainer"
dpkg-deb -f "$deb" Description | grep -q DEM || fail "no description"
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libqt6widgets6 libmd0 qt6-qpa-plugins; do
    echo "$depends" | grep -q "$lib" || fail "Depends lacks $lib: $depends"
done

dpkg-deb -c "$deb" | awk '{print $NF}' >"$work/files"
for f in ./usr/bin/gridwright ./usr/bin/gridwright-cli \
         ./usr/share/applications/gridwright.desktop \
         ./usr/share/mime/packages/gridwright.xml \
         ./usr/share/icons/hicolor/scalable/apps/gridwright.svg \
         ./usr/share/gridwright/manual/index.html \
         ./usr/share/gridwright/manual/style.css \
         ./usr/share/gridwright/manual/theater-form.html; do
    grep -qx "$f" "$work/files" || fail "missing $f"
done
# Nothing of the build or the tests.
if grep -Eq 'test|bench|fuzz|\.a$|include/' "$work/files"; then fail "stray files: $(grep -E 'test|bench|fuzz|\.a$|include/' "$work/files")"; fi

root=$work/root
dpkg-deb -x "$deb" "$root"
version=$(dpkg-deb -f "$deb" Version)
[ "$("$root/usr/bin/gridwright-cli" --version)" = "gridwright-cli $version" ] || fail "gridwright-cli --version"
[ "$(QT_QPA_PLATFORM=offscreen "$root/usr/bin/gridwright" --version)" = "gridwright $version" ] ||
    fail "gridwright --version"
# The extracted command line works on the sample DEM.
"$root/usr/bin/gridwright-cli" info "$(dirname "$0")/../../sample/coast.hdr" | grep -q '^number_of_rows:' ||
    fail "gridwright-cli info"
# The help window looks in ../share/gridwright/manual from the program.
[ -f "$root/usr/bin/../share/gridwright/manual/index.html" ] || fail "manual not beside the program"
desktop-file-validate "$root/usr/share/applications/gridwright.desktop"
echo "package ok: $(wc -l <"$work/files") entries"
