#include "module/radar_state_change.h"

std::atomic<bool> RadarStateChanged{false};

void ChangeCallback() { RadarStateChanged.store(true, std::memory_order_release); }
