#!/bin/sh
# Screenshots of the desktop program on a virtual screen, into docs/screenshots/: the
# main window with the sample DEM open, the Build Terrain and Import DEM dialogs, the Edit
# E00 Rules and Height Data dialogs, the help window, the about box, the print preview, the
# progress dialog and the Choose E00 Rule dialog.
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

# shoot TITLE FILE [WIDTH HEIGHT] KEYS...: presses the keys over the main window (a key
# group, a pause, then the rest), saves the window titled TITLE, then presses Escape.
shoot() {
    title=$1 file=$2
    shift 2
    size=""
    case "${1:-}" in [0-9]*) size="$1 $2"; shift 2 ;; esac
    xdotool windowfocus --sync "$main" key "$1"
    shift
    if [ $# -gt 0 ]; then sleep 0.5; xdotool key "$@"; fi
    window=$(window_named "$title")
    [ -n "$size" ] && xdotool windowsize "$window" $size
    sleep 1
    import -window "$window" "$shots/$file"
    xdotool key Escape
}

shoot "Build Terrain" build-terrain.png ctrl+g
# Import DEM with bounds and a title typed in (the sources come from a file dialog).
shoot "Import DEM" import-dem.png alt+f Down Return alt+w 5 alt+e 1 1 alt+s 4 4 alt+n 4 7 \
    alt+t W e s t e r n space A l p s
# The two table editors, from their menus.
shoot "Edit E00 Rules" edit-e00-rules.png alt+f Down Down Down Down Return
shoot "Height Data" height-data.png alt+e Return
# The help window, opened by F1 over the document window at the theater form's page.
shoot "Gridwright Help" help-window.png 760 600 F1
# The about box, and the print preview of the sample's page.
shoot "About Gridwright" about-box.png alt+h a
shoot "Print Preview" print-preview.png 800 700 alt+f v
kill "$program"
wait "$program" 2>/dev/null || true
program=""

# The progress dialog, held at one step of a job.
"$build/tools/gui/gui_progress_snapshot" "$shots/progress-dialog.png"
# The rule asked for a vector layer no rule names, which comes up part way through a load.
"$build/tools/gui/gui_rule_choice_snapshot" "$shots/choose-e00-rule.png"
echo "wrote $(ls "$shots" | tr '\n' ' ')"
