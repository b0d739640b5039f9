#pragma once
// Unwrapping one captured link-layer record down to its IPv4 packet and a UDP datagram's header. Nothing
// here copies: the views point into the record.
#include <cstdint>
#include <optional>
#include <span>

namespace radarsim {

using ByteView = std::span<const std::uint8_t>;

// The link layers a capture may carry, as the reader handles them.
enum class LinkLayer { kEthernet, kLinuxCooked, kLinuxCookedV2, kRawIp };

// The link layer for a pcap link type, or none for one the reader does not understand.
std::optional<LinkLayer> LinkLayerOf(int pcapLinkType);

// The IPv4 packet a record carries (Ethernet with any 802.1Q tags, Linux cooked, raw IP); none for other
// network protocols or a record too short for its link header.
std::optional<ByteView> Ipv4PacketOf(LinkLayer layer, ByteView record);

struct Ipv4Packet {
  std::uint32_t source = 0;
  std::uint32_t destination = 0;
  std::uint16_t identification = 0;
  std::uint8_t protocol = 0;
  std::uint8_t headerLength = 0;    // bytes
  bool moreFragments = false;
  std::uint32_t fragmentOffset = 0;  // bytes
  ByteView payload;                  // up to the total length; link padding is left out

  bool IsFragment() const { return moreFragments || fragmentOffset != 0; }
};

inline constexpr std::uint8_t kUdpProtocol = 17;

// The packet's header fields; none when the version is not 4, the header length under 20 bytes, or the
// total length shorter than the header or longer than the bytes captured.
std::optional<Ipv4Packet> ParseIpv4(ByteView bytes);

struct UdpDatagram {
  std::uint16_t sourcePort = 0;
  std::uint16_t destinationPort = 0;
  bool lengthValid = false;  // the UDP length is at least 8 and within the IPv4 payload
  ByteView payload;          // empty when the length is not valid
};

// The datagram in an IPv4 payload; none when the payload is shorter than a UDP header.
std::optional<UdpDatagram> ParseUdp(ByteView bytes);

}  // namespace radarsim
