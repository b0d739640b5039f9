#include "display/echo_trails.h"

#include "common/radar_identity.h"

ModuleLayerKey TrailLayerKey() { return ModuleLayerKey(kRadarModuleName, kTrailLayerName); }

int TrailColourIndexInView(int settingsIndex, bool trailLayerShown) {
  return trailLayerShown ? settingsIndex : kNoTrailColourIndex;
}

void HideTrailsInNewView(const ModuleLayerKeyList& layers, ModuleLayerKeyList& hidden) {
  const ModuleLayerKey trails = TrailLayerKey();
  if (layers.Contains(trails)) hidden.Add(trails);
}
