#include "viewer/module_host/stop_request.h"

namespace {

constexpr int kStopSignals[StopRequest::kSignalCount] = {SIGINT, SIGTERM, SIGHUP};

// A signal handler reaches no object: the signal that arrived is kept here, in a lock-free atomic
// (async-signal-safe to store).
std::atomic<int> g_stop_signal{0};
static_assert(std::atomic<int>::is_always_lock_free);

extern "C" void RecordStopSignal(int number) { g_stop_signal.store(number, std::memory_order_relaxed); }

}  // namespace

StopRequest::StopRequest() {
  g_stop_signal.store(0, std::memory_order_relaxed);
  struct sigaction action {};
  action.sa_handler = RecordStopSignal;
  sigemptyset(&action.sa_mask);
  // SA_RESTART: a signal during a file write does not make that write fail half-way.
  action.sa_flags = SA_RESTART;
  for (int i = 0; i < kSignalCount; ++i) sigaction(kStopSignals[i], &action, &previous_[i]);
}

StopRequest::~StopRequest() {
  for (int i = 0; i < kSignalCount; ++i) sigaction(kStopSignals[i], &previous_[i], nullptr);
}

bool StopRequest::requested() const noexcept {
  return requested_.load(std::memory_order_relaxed) || signal_number() != 0;
}

int StopRequest::signal_number() const noexcept { return g_stop_signal.load(std::memory_order_relaxed); }

void StopRequest::request() noexcept { requested_.store(true, std::memory_order_relaxed); }
