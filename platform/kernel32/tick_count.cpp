#include "winbase.h"

#include <ctime>

DWORD GetTickCount() {
  timespec now{};
  // The coarse clock is read without a system call; its few milliseconds of resolution are finer than the
  // tick counts Windows itself gives.
  clock_gettime(CLOCK_MONOTONIC_COARSE, &now);
  const auto milliseconds = static_cast<unsigned long long>(now.tv_sec) * 1000ull +
                            static_cast<unsigned long long>(now.tv_nsec) / 1000000ull;
  return static_cast<DWORD>(milliseconds);
}
