#include <atomic>
#include <cstdint>
#include <ctime>

#include "extensions/kernel32.h"
#include "winbase.h"

namespace {

// The tick count a test set, in the low 32 bits, with kOverridden above them; 0 when none is set.
// One word, so that a thread reading it never sees a flag without its tick.
constexpr std::uint64_t kOverridden = std::uint64_t{1} << 32;
std::atomic<std::uint64_t> tickOverride{0};

}  // namespace

DWORD GetTickCount() {
  const std::uint64_t overridden = tickOverride.load(std::memory_order_relaxed);
  if ((overridden & kOverridden) != 0) return static_cast<DWORD>(overridden);
  timespec now{};
  // The coarse clock is read without a system call; its few milliseconds of resolution are finer than the
  // tick counts Windows itself gives.
  clock_gettime(CLOCK_MONOTONIC_COARSE, &now);
  const auto milliseconds = static_cast<unsigned long long>(now.tv_sec) * 1000ull +
                            static_cast<unsigned long long>(now.tv_nsec) / 1000000ull;
  return static_cast<DWORD>(milliseconds);
}

void SetTickCountOverride(DWORD tick) { tickOverride.store(kOverridden | tick, std::memory_order_relaxed); }

void ClearTickCountOverride() { tickOverride.store(0, std::memory_order_relaxed); }
