#pragma once
// SIGINT, SIGTERM and SIGHUP ask the host loop to stop; installed for the object's lifetime.
// The loop polls `requested()` once a round and ends the run as if its time were up: the profile is
// saved and the final pictures are written.
#include <atomic>
#include <csignal>

class StopRequest {
public:
  StopRequest();
  ~StopRequest();
  StopRequest(const StopRequest&) = delete;
  StopRequest& operator=(const StopRequest&) = delete;

  bool requested() const noexcept;
  // The signal that asked for the stop; 0 when none did (not asked, or asked from code).
  int signal_number() const noexcept;
  // Asks for the stop from code (tests, a server handing work to the host's thread).
  void request() noexcept;

  static constexpr int kSignalCount = 3;

private:
  std::atomic<bool> requested_{false};
  // The handlers in place before, put back at the end.
  struct sigaction previous_[kSignalCount];
};
