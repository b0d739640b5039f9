#pragma once
// A stream of spoke frames: the group (or unicast address) and UDP port the radar sends them to. A radar
// of this family may send to several at once (the two ranges of a dual-range radar), so a capture can
// hold more than one.
#include <optional>
#include <string>

#include "services/radar/ipv4_endpoint.h"

namespace radarsim {

using SpokeStream = Ipv4Endpoint;

// The stream the recorded radar sends to: 236.6.9.51 port 7059.
inline constexpr SpokeStream kRecordedSpokeStream{0xEC060933, 7059};

// "group:port", the address dotted ("236.6.9.51:7059").
inline std::string SpokeStreamText(const SpokeStream& stream) { return FormatIpv4Endpoint(stream); }
// The stream "group:port" names; none for anything else (a port of 0 included).
inline std::optional<SpokeStream> ParseSpokeStream(const std::string& text) { return ParseIpv4Endpoint(text); }

}  // namespace radarsim
