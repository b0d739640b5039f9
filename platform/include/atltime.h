#pragma once
// ATL's 64-bit time values: CTime, a count of seconds since 1970-01-01 00:00:00 UTC, and CTimeSpan, a
// signed count of seconds.
#include <compare>
#include <cstdint>

namespace ATL {

class CTimeSpan {
public:
  CTimeSpan() = default;
  explicit CTimeSpan(std::int64_t seconds) : seconds_(seconds) {}
  CTimeSpan(long days, int hours, int minutes, int seconds);
  std::int64_t GetTimeSpan() const { return seconds_; }
  std::int64_t GetTotalSeconds() const { return seconds_; }
  std::int64_t GetDays() const { return seconds_ / 86400; }
  int GetHours() const { return static_cast<int>(seconds_ / 3600 % 24); }
  int GetMinutes() const { return static_cast<int>(seconds_ / 60 % 60); }
  int GetSeconds() const { return static_cast<int>(seconds_ % 60); }
  auto operator<=>(const CTimeSpan&) const = default;

private:
  std::int64_t seconds_ = 0;
};

class CTime {
public:
  CTime() = default;
  explicit CTime(std::int64_t time) : time_(time) {}
  // Local time; `daylightSaving` -1 lets the C library decide whether daylight saving applies.
  CTime(int year, int month, int day, int hour, int minute, int second, int daylightSaving = -1);
  std::int64_t GetTime() const { return time_; }
  auto operator<=>(const CTime&) const = default;
  CTimeSpan operator-(const CTime& other) const { return CTimeSpan(time_ - other.time_); }

private:
  std::int64_t time_ = 0;
};

}  // namespace ATL
