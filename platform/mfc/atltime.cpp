#include "atltime.h"

#include <ctime>

namespace ATL {

CTimeSpan::CTimeSpan(long days, int hours, int minutes, int seconds)
    : seconds_(((static_cast<std::int64_t>(days) * 24 + hours) * 60 + minutes) * 60 + seconds) {}

CTime::CTime(int year, int month, int day, int hour, int minute, int second, int daylightSaving) {
  std::tm fields{};
  fields.tm_year = year - 1900;
  fields.tm_mon = month - 1;
  fields.tm_mday = day;
  fields.tm_hour = hour;
  fields.tm_min = minute;
  fields.tm_sec = second;
  fields.tm_isdst = daylightSaving;
  time_ = static_cast<std::int64_t>(std::mktime(&fields));
}

}  // namespace ATL
