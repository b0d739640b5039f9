// NMEA 0183 datagrams as a ship's network may carry them: split into sentences and read one by one.
// Whatever the bytes, every sentence lies within its datagram without its line end, and a sentence
// read as navigation gives only positions and headings that exist.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string_view>

#include "services/radar/nmea_sentence.h"

namespace {

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "NMEA: %s\n", what);
  std::abort();
}

void CheckWithin(const std::optional<double>& value, double low, double high, const char* what) {
  if (value && !(*value >= low && *value <= high)) Fail(what);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view datagram(reinterpret_cast<const char*>(data), size);
  for (std::string_view sentence : radarsim::SplitSentences(datagram)) {
    if (sentence.empty() || sentence.data() < datagram.data() ||
        sentence.data() + sentence.size() > datagram.data() + datagram.size())
      Fail("sentence outside its datagram");
    if (sentence.find('\n') != std::string_view::npos || sentence.back() == '\r') Fail("sentence holds its line end");
    const radarsim::NmeaSentence read = radarsim::ReadSentence(sentence);
    if (read.status != radarsim::NmeaSentence::Status::kNavigation) continue;
    const radarsim::NavigationUpdate& update = read.navigation;
    if (!update.latitudeDegrees && !update.longitudeDegrees && !update.headingDegrees)
      Fail("navigation without anything");
    if (update.latitudeDegrees.has_value() != update.longitudeDegrees.has_value()) Fail("half a position");
    CheckWithin(update.latitudeDegrees, -90.0, 90.0, "latitude out of range");
    CheckWithin(update.longitudeDegrees, -180.0, 180.0, "longitude out of range");
    CheckWithin(update.headingDegrees, 0.0, 360.0, "heading out of range");
  }
  return 0;
}
