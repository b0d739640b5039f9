#pragma once
// The two callbacks the data module registers with the radar service. The service calls them on its
// own threads: every sweep goes into the module's sweep store, and state changes are flagged for the
// data module's Refresh on the host's thread, which turns them into one notice per burst of changes.
#include <atomic>

#include "host/sweep_record.h"

// Set by ChangeCallback, tested and cleared by the data module's Refresh.
extern std::atomic<bool> RadarStateChanged;

// Stamps the sweep's arrival and stores it, with the distance of the radar's current range, in the
// module's sweep store. Null is ignored.
void SweepCallback(const SweepRecord* sweep);

// Marks the radar's state as changed.
void ChangeCallback();
