#pragma once
// IPv4 addresses and "address:port" endpoints as settings and command lines write them.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace radarsim {

struct Ipv4Endpoint {
  std::uint32_t address = 0;  // host byte order
  std::uint16_t port = 0;

  bool operator==(const Ipv4Endpoint&) const = default;
};

// A dotted quad; none for anything else.
std::optional<std::uint32_t> ParseIpv4Address(std::string_view text);
// "a.b.c.d:port" with a port 1 to 65535; none for anything else.
std::optional<Ipv4Endpoint> ParseIpv4Endpoint(std::string_view text);
// 224.0.0.0/4.
bool IsMulticastAddress(std::uint32_t address);
std::string FormatIpv4Endpoint(const Ipv4Endpoint& endpoint);

}  // namespace radarsim
