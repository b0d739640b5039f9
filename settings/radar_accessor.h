#pragma once
// How the radar settings store reaches the radar: asked anew before every radar call, as the radar
// service hands out its radar interface per call. The default is the loaded radar service's radar;
// tests hand in a radar of their own.
#include <functional>

class SorVikRadar;

using RadarAccessor = std::function<SorVikRadar*()>;

// The radar of the radar service library, loaded on first use; null when the service has none.
SorVikRadar* LoadedServiceRadar();
