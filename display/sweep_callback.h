#pragma once
// The sweep callback the data module registers with the radar service, and the arrival time of the
// last sweep it saw.
#include <atomic>

#include "host/sweep_record.h"
#include "win32/windef.h"

// The system tick count (milliseconds) when the last sweep arrived; 0 until the first. Written on the
// radar service's thread, read on the user interface thread.
extern std::atomic<DWORD> lastSweepTick;

// Stores one sweep of the radar service in the module's sweep store. Null is ignored.
void SweepCallback(const SweepRecord* sweep);
