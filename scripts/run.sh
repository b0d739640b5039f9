#!/usr/bin/env bash
# Builds the radar module and runs the main job: the stand-in host loading the module, connecting it to
# the simulated radar and following it with one chart view, then writing the view to a PNG file and
# printing its path (the last line, "picture: ..."). Arguments go to the viewer (--seconds N, --imo,
# --profile FILE, --width/--height PIXELS, --png FILE, --png-every N); a --png given here replaces the
# default picture in the build folder.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$("$root/scripts/setup.sh" plain | tail -n 1)
export SORVIK_RADAR_CONFIG=${SORVIK_RADAR_CONFIG:-$root/viewer/simulated-radar.ini}
"$build/stage/bin/sorvik_viewer" --png "$build/radar-view.png" "$@"
