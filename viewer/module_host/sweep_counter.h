#pragma once
// Counts the sweeps the radar service delivers and the antenna turns they make, for the run's summary.
// It listens beside the module through the service's own callback registration, which takes several
// listeners; the module's service library is found where the module loads it from.
#include <string>

class SorVikRadar;

class SweepCounter {
public:
  // Starts counting on the service library the process has already loaded; false with the reason in
  // `error` when the library or its radar cannot be reached (the run goes on uncounted).
  bool Attach(std::string& error);
  // Stops counting; nothing is counted after it returns.
  void Detach();
  ~SweepCounter() { Detach(); }

  long long Sweeps() const;
  long long Turns() const;

private:
  SorVikRadar* radar_ = nullptr;
};
