#pragma once
// Echo trails: the marks the radar puts into its sweeps as levels 8 to 15. They are drawn inside the echo
// textures, in the trail colour of the settings, and each view shows them only while its trail layer is
// shown; the trail settings themselves are the radar's and the same for every view.
#include "common/layer_keys.h"

// The trail colour index that hides trail levels.
inline constexpr int kNoTrailColourIndex = -1;

// The layer key by which a view hides or shows its trails.
ModuleLayerKey TrailLayerKey();

// The trail colour index a view writes its echo rows with: the settings' index while the view shows its
// trail layer, none otherwise.
int TrailColourIndexInView(int settingsIndex, bool trailLayerShown);

// A new view starts without trails: adds the trail layer to `hidden` when the data module declares it
// among its `layers`.
void HideTrailsInNewView(const ModuleLayerKeyList& layers, ModuleLayerKeyList& hidden);
