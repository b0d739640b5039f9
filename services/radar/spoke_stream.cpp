#include "services/radar/spoke_stream.h"

#include <arpa/inet.h>

#include <cerrno>
#include <cstdlib>

namespace radarsim {

std::string SpokeStreamText(const SpokeStream& stream) {
  in_addr address{};
  address.s_addr = htonl(stream.address);
  char text[INET_ADDRSTRLEN] = {};
  inet_ntop(AF_INET, &address, text, sizeof text);
  return std::string(text) + ":" + std::to_string(stream.port);
}

std::optional<SpokeStream> ParseSpokeStream(const std::string& text) {
  const auto colon = text.rfind(':');
  if (colon == std::string::npos) return std::nullopt;
  in_addr address{};
  if (inet_pton(AF_INET, text.substr(0, colon).c_str(), &address) != 1) return std::nullopt;
  const std::string portText = text.substr(colon + 1);
  char* end = nullptr;
  errno = 0;
  const long port = std::strtol(portText.c_str(), &end, 10);
  const bool digitsOnly = !portText.empty() && portText[0] >= '0' && portText[0] <= '9' && *end == '\0';
  if (!digitsOnly || errno != 0 || port < 1 || port > 65535) return std::nullopt;
  return SpokeStream{ntohl(address.s_addr), static_cast<std::uint16_t>(port)};
}

}  // namespace radarsim
