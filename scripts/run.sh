#!/usr/bin/env bash
# Builds the radar module and runs the main job: the stand-in chart host loading the module, replaying
# the radar capture recorded in the Wadden Sea over the Wadden chart, transmitting, and writing its views
# as pictures into build/pictures (the last lines name the folder and the first view's picture).
# Arguments go to the viewer (see `scripts/run.sh --help`); SORVIK_RADAR_CONFIG may name another radar INI
# (viewer/simulated-radar.ini: the simulated radar).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$("$root/scripts/setup.sh" plain | tail -n 1)
export SORVIK_RADAR_CONFIG=${SORVIK_RADAR_CONFIG:-$root/viewer/replay-radar.ini}
"$build/stage/bin/sorvik_viewer" --output "$build/pictures" "$@"
