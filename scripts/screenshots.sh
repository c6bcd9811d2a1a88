#!/bin/sh
# Screenshots of the desktop program on a virtual screen, into docs/screenshots/: the
# main window with the sample DEM open, the Build Terrain dialog, the Edit E00 Rules and
# Height Data dialogs, the help window, the about box, the print preview and the progress dialog.
# Needs xvfb-run, xdotool and imagemagick's import; run from a built tree.
# Usage: scripts/screenshots.sh [BUILD_DIR]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
if [ -z "${SCREENSHOT_DISPLAY_READY:-}" ]; then
    exec env SCREENSHOT_DISPLAY_READY=1 xvfb-run -a -s "-screen 0 1280x900x24" "$0" "$build"
fi
shots=$root/docs/screenshots
mkdir -p "$shots"
work=$(mktemp -d)
export XDG_CONFIG_HOME="$work/config"
program=""
cleanup() {
    [ -n "$program" ] && kill "$program" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# The visible window with this exact title, once it is up.
window_named() { xdotool search --sync --onlyvisible --name "^$1\$" | head -n 1; }

"$build/gui/gridwright" "$root/sample/coast.hdr" &
program=$!
main=$(window_named "Gridwright - coast.hdr")
xdotool windowsize "$main" 1000 700 windowmove "$main" 0 0
sleep 1
import -window root -crop 1000x700+0+0 "$shots/main-window.png"

xdotool windowfocus --sync "$main" key ctrl+g
dialog=$(window_named "Build Terrain")
sleep 1
import -window "$dialog" "$shots/build-terrain.png"
xdotool key Escape

# The two table editors, from their menus.
xdotool windowfocus --sync "$main" key alt+f
sleep 0.5
xdotool key Down Down Down Return
dialog=$(window_named "Edit E00 Rules")
sleep 1
import -window "$dialog" "$shots/edit-e00-rules.png"
xdotool key Escape
xdotool windowfocus --sync "$main" key alt+e
sleep 0.5
xdotool key Return
dialog=$(window_named "Height Data")
sleep 1
import -window "$dialog" "$shots/height-data.png"
xdotool key Escape

# The help window, opened by F1 over the document window at the theater form's page.
xdotool windowfocus --sync "$main" key F1
helpwin=$(window_named "Gridwright Help")
xdotool windowsize "$helpwin" 760 600
sleep 1
import -window "$helpwin" "$shots/help-window.png"
xdotool key Escape
# The about box, and the print preview of the sample's page.
xdotool windowfocus --sync "$main" key alt+h
sleep 0.5
xdotool key a
dialog=$(window_named "About Gridwright")
sleep 1
import -window "$dialog" "$shots/about-box.png"
xdotool key Escape
xdotool windowfocus --sync "$main" key alt+f
sleep 0.5
xdotool key v
dialog=$(window_named "Print Preview")
xdotool windowsize "$dialog" 800 700
sleep 1
import -window "$dialog" "$shots/print-preview.png"
xdotool key Escape
kill "$program"
wait "$program" 2>/dev/null || true
program=""

# The progress dialog, held at one step of a job.
"$build/tests/gui/gui_progress_snapshot" "$shots/progress-dialog.png"
echo "wrote $(ls "$shots" | tr '\n' ' ')"
