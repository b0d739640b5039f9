#include "services/radar/ipv4_endpoint.h"

#include <arpa/inet.h>

#include <charconv>

namespace radarsim {

std::optional<std::uint32_t> ParseIpv4Address(std::string_view text) {
  // inet_pton accepts only the dotted quad, unlike inet_aton's shorter and octal forms.
  const std::string copy(text);
  in_addr address{};
  if (inet_pton(AF_INET, copy.c_str(), &address) != 1) return std::nullopt;
  return ntohl(address.s_addr);
}

std::optional<Ipv4Endpoint> ParseIpv4Endpoint(std::string_view text) {
  const auto colon = text.rfind(':');
  if (colon == std::string_view::npos) return std::nullopt;
  const auto address = ParseIpv4Address(text.substr(0, colon));
  const std::string_view portText = text.substr(colon + 1);
  unsigned port = 0;
  const auto [end, error] = std::from_chars(portText.data(), portText.data() + portText.size(), port);
  if (!address || error != std::errc{} || end != portText.data() + portText.size() || port == 0 || port > 65535) {
    return std::nullopt;
  }
  return Ipv4Endpoint{*address, static_cast<std::uint16_t>(port)};
}

bool IsMulticastAddress(std::uint32_t address) { return (address >> 28) == 0xE; }

std::string FormatIpv4Endpoint(const Ipv4Endpoint& endpoint) {
  const std::uint32_t a = endpoint.address;
  return std::to_string(a >> 24) + "." + std::to_string((a >> 16) & 0xFF) + "." + std::to_string((a >> 8) & 0xFF) +
         "." + std::to_string(a & 0xFF) + ":" + std::to_string(endpoint.port);
}

}  // namespace radarsim
