#!/bin/sh
# The desktop entry validates, and the MIME entry knows a DEM header by its name and by
# its content. Usage: desktop_files_test.sh SOURCE_DIR
set -eu
src=$1
for tool in desktop-file-validate update-mime-database gio; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed (scripts/setup.sh --with-test-tools)"; exit 77; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

desktop-file-validate "$src/dist/gridwright.desktop"
grep -qx 'MimeType=application/x-gridwright-dem-header;' "$src/dist/gridwright.desktop"

mkdir -p "$work/mime/packages"
cp "$src/dist/gridwright.xml" "$work/mime/packages/"
XDG_DATA_HOME="$work" update-mime-database "$work/mime" 2>"$work/errors"
if [ -s "$work/errors" ]; then cat "$work/errors"; exit 1; fi
grep -q '^10:application/x-gridwright-dem-header:\*\.hdr$' "$work/mime/globs2"

type_of() {
    XDG_DATA_HOME="$work" XDG_DATA_DIRS=/usr/share gio info -a standard::content-type "$1" |
        sed -n 's/^ *standard::content-type: //p'
}
# By name, and by content under a name without an ending.
cp "$src/sample/coast.hdr" "$work/coast.hdr"
cp "$src/sample/coast.hdr" "$work/coast-header"
printf 'just some text\n' > "$work/notes.txt"
for case in "coast.hdr" "coast-header"; do
    got=$(type_of "$work/$case")
    [ "$got" = application/x-gridwright-dem-header ] || { echo "$case: $got"; exit 1; }
done
got=$(type_of "$work/notes.txt")
[ "$got" != application/x-gridwright-dem-header ] || { echo "notes.txt taken for a DEM header"; exit 1; }
echo "desktop files ok"
