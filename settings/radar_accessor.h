#pragma once
// How the radar settings store reaches the radar: asked anew before every radar call, as the radar
// service hands out its radar interface per call. The data module hands in its way to the loaded radar
// service's radar; tests hand in a radar of their own.
#include <functional>

class SorVikRadar;

// The radar, or null when there is none.
using RadarAccessor = std::function<SorVikRadar*()>;
