#!/usr/bin/env bash
# Builds the radar module and runs the main job: the stand-in chart host loading the module, replaying
# the radar capture recorded in the Wadden Sea (looping) over the Wadden chart, transmitting, and serving
# its views live to a browser at the address it prints, until Ctrl-C.
# Arguments go to the viewer instead (see `scripts/run.sh --help`): `scripts/run.sh --seconds 8` is the
# batch run that writes the views as pictures into build/pictures. SORVIK_RADAR_CONFIG may name another
# radar INI (viewer/simulated-radar.ini: the simulated radar).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$("$root/scripts/setup.sh" plain | tail -n 1)
export SORVIK_RADAR_CONFIG=${SORVIK_RADAR_CONFIG:-$root/viewer/replay-radar.ini}
[ $# -gt 0 ] || set -- --serve
"$build/stage/bin/sorvik_viewer" --output "$build/pictures" "$@"
