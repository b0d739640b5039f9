#pragma once
// A stream of spoke frames: the group (or unicast address) and UDP port the radar sends them to. A radar
// of this family may send to several at once (the two ranges of a dual-range radar), so a capture can
// hold more than one.
#include <cstdint>
#include <optional>
#include <string>

namespace radarsim {

struct SpokeStream {
  std::uint32_t address = 0;  // IPv4, host order
  std::uint16_t port = 0;

  bool operator==(const SpokeStream&) const = default;
};

// "group:port", the address dotted ("236.6.9.51:7059").
std::string SpokeStreamText(const SpokeStream& stream);
// The stream "group:port" names; none for anything else (a port of 0 included).
std::optional<SpokeStream> ParseSpokeStream(const std::string& text);

}  // namespace radarsim
