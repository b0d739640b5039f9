#include <cstdint>

#include "host/gen_data.h"

namespace _GenData {

CString CDuree::ToString(const CFormat& format) const {
  const std::int64_t seconds = value_.GetTotalSeconds();
  // The magnitude in unsigned arithmetic, so that the most negative span has one too.
  const std::uint64_t magnitude =
      seconds < 0 ? 0 - static_cast<std::uint64_t>(seconds) : static_cast<std::uint64_t>(seconds);
  const unsigned long long minutes = magnitude / 60;
  const unsigned long long restSeconds = magnitude % 60;
  CString text(seconds < 0 ? "-" : "");
  if (format.GetProprieteDuree() == CFormat::kDurationMinutesSeconds)
    text.AppendFormat("%llu:%02llu", minutes, restSeconds);
  else
    text.AppendFormat("%llu:%02llu:%02llu", minutes / 60, minutes % 60, restSeconds);
  return text;
}

}  // namespace _GenData
