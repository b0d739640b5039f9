#pragma once
// The radar service signals state changes from its own thread; the data module's Refresh on the host's
// thread turns them into one notice per burst of changes.
#include <atomic>

// Set by ChangeCallback, tested and cleared by the data module's Refresh.
extern std::atomic<bool> RadarStateChanged;

// Registered with the radar service: marks the radar's state as changed.
void ChangeCallback();
