#pragma once
// NMEA 0183 sentences: splitting a datagram into sentences, checking each one's checksum, and reading the
// own ship's position (GLL, RMC, GGA) and true heading (HDT) from any talker.
#include <string_view>
#include <vector>

#include "services/radar/capture_reader.h"

namespace radarsim {

struct NmeaSentence {
  enum class Status {
    kNavigation,  // a good sentence that gave a position or a heading
    kNoFix,       // a good sentence that gave nothing: another type, or one that says it has no fix
    kBad,         // a bad or missing checksum, or fields that do not parse
  };
  Status status = Status::kBad;
  NavigationUpdate navigation;  // status == kNavigation
};

// The sentences of one datagram (CR LF separated; blank lines are passed over), in order.
std::vector<std::string_view> SplitSentences(std::string_view datagram);

// Reads one sentence without its line end: `$` or `!`, the fields, `*` and two hex digits of the XOR of
// the characters between.
NmeaSentence ReadSentence(std::string_view sentence);

}  // namespace radarsim
