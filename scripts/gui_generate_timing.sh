#!/bin/sh
# Times Generate Terrain in the desktop program (offscreen) and in gridwright-cli for the
# same square theater, alternating the two: the wall time and the processor time (user +
# system) of each whole process, and the wall time of the GUI's command alone. Prints
# each run and the medians. On a busy machine the wall times scatter; the processor
# times hold steadier.
# Usage: scripts/gui_generate_timing.sh [DEM.hdr] [SEGMENTS] [RUNS]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
dem=${1:-$root/../shared/data/dem/fr_it_etopo2.hdr}
segments=${2:-256}
runs=${3:-5}
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
export QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$out/config"

# Runs a command; prints "WALL_MS CPU_MS" of its process and leaves its output in $out/stdout.
timed() {
    /usr/bin/time -f '%e %U %S' -o "$out/time" "$@" >"$out/stdout" 2>/dev/null
    awk '{printf "%d %d\n", $1 * 1000, ($2 + $3) * 1000}' "$out/time"
}

gui_wall="" gui_cpu="" command_wall="" cli_wall="" cli_cpu=""
i=0
while [ "$i" -lt "$runs" ]; do
    rm -f "$out"/t.*
    set -- $(timed "$build/tools/gui/gui_generate_timing" "$dem" "$out/t.l2" "$segments")
    gw=$1 gc=$2 command=$(cat "$out/stdout")
    rm -f "$out"/t.*
    set -- $(timed "$build/cli/gridwright-cli" generate "$dem" "$out/t.l2" --segments "$segments" --builtin-rules --quiet)
    cw=$1 cc=$2
    echo "run $i: gui ${gw} ms wall, ${gc} ms cpu (its Generate command ${command} ms); cli ${cw} ms wall, ${cc} ms cpu"
    gui_wall="$gui_wall $gw" gui_cpu="$gui_cpu $gc" command_wall="$command_wall $command"
    cli_wall="$cli_wall $cw" cli_cpu="$cli_cpu $cc"
    i=$((i + 1))
done
median() { printf '%s\n' $1 | sort -n | awk '{a[NR]=$1} END {print a[int((NR + 1) / 2)]}'; }
ratio() { awk "BEGIN {printf \"%.3f\", $1 / $2}"; }
echo "median wall: gui $(median "$gui_wall") ms, cli $(median "$cli_wall") ms, ratio $(ratio "$(median "$gui_wall")" "$(median "$cli_wall")")"
echo "median cpu:  gui $(median "$gui_cpu") ms, cli $(median "$cli_cpu") ms, ratio $(ratio "$(median "$gui_cpu")" "$(median "$cli_cpu")")"
echo "median wall of the gui's Generate command alone: $(median "$command_wall") ms"
