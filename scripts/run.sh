#!/usr/bin/env bash
# Builds the radar module and runs the main job: the stand-in host loading the module, connecting it to
# the simulated radar and following it. Arguments go to the viewer (--seconds N, --imo, --profile FILE).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$("$root/scripts/setup.sh" plain | tail -n 1)
export SORVIK_RADAR_CONFIG=${SORVIK_RADAR_CONFIG:-$root/viewer/simulated-radar.ini}
"$build/stage/bin/sorvik_viewer" "$@"
