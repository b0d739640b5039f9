#pragma once
// What a display needs to follow the sweep store: it is told when the store's rows were reallocated and
// when sweeps arrived since it last took them in.
#include "display/sweep_store.h"

class SweepRecorderClient {
public:
  // Follows `store`; displays follow the module's store.
  explicit SweepRecorderClient(SweepStore& store = TheSweepStore()) : store_(store) {}
  SweepRecorderClient(const SweepRecorderClient&) = delete;
  SweepRecorderClient& operator=(const SweepRecorderClient&) = delete;

  virtual ~SweepRecorderClient() = default;
  // Announces a reallocation of the store's rows, then new sweeps (a new turn or a new angle; the
  // heading alone is not news).
  virtual void Poll();
  // The store's rows were (re)allocated: whatever was built from the old rows is stale.
  virtual void OnStoreResized(int rows, int rowLength) = 0;
  // Sweeps arrived between `seenCursor_` and `polledCursor_`. Answer true when they were taken in, so
  // that `seenCursor_` advances to `polledCursor_`; false leaves it, and the same sweeps are offered
  // again.
  virtual bool OnNewSweeps() = 0;

protected:
  SweepStore& Store() const { return store_; }

  int seenGeneration_ = -1;
  // The store's cursor when the sweeps were last taken in; revolutions -1 means never.
  SweepCursor seenCursor_{-1, 0, 0};
  // The store's cursor as the current Poll read it.
  SweepCursor polledCursor_{-1, 0, 0};

private:
  SweepStore& store_;
};
