#include "services/radar/packet_layers.h"

#include <pcap/pcap.h>

namespace radarsim {
namespace {

constexpr std::uint16_t kEtherTypeIpv4 = 0x0800;
constexpr std::uint16_t kEtherTypeVlan = 0x8100;
constexpr std::uint16_t kEtherTypeProviderVlan = 0x88A8;
constexpr std::uint16_t kEtherTypeDoubleTag = 0x9100;
constexpr std::size_t kEthernetHeader = 14;
constexpr std::size_t kVlanTag = 4;
constexpr std::size_t kCookedHeader = 16;
constexpr std::size_t kCookedV2Header = 20;
constexpr std::size_t kIpv4MinimumHeader = 20;
constexpr std::size_t kUdpHeader = 8;

std::uint16_t BigEndian16(ByteView bytes, std::size_t at) {
  return static_cast<std::uint16_t>(bytes[at] << 8 | bytes[at + 1]);
}

std::uint32_t BigEndian32(ByteView bytes, std::size_t at) {
  return std::uint32_t{BigEndian16(bytes, at)} << 16 | BigEndian16(bytes, at + 2);
}

std::optional<ByteView> EthernetPayload(ByteView record) {
  if (record.size() < kEthernetHeader) return std::nullopt;
  std::size_t typeAt = 12;
  std::uint16_t type = BigEndian16(record, typeAt);
  while (type == kEtherTypeVlan || type == kEtherTypeProviderVlan || type == kEtherTypeDoubleTag) {
    typeAt += kVlanTag;
    if (record.size() < typeAt + 2) return std::nullopt;
    type = BigEndian16(record, typeAt);
  }
  if (type != kEtherTypeIpv4) return std::nullopt;
  return record.subspan(typeAt + 2);
}

std::optional<ByteView> PayloadAfter(ByteView record, std::size_t headerLength, std::size_t protocolAt) {
  if (record.size() < headerLength || BigEndian16(record, protocolAt) != kEtherTypeIpv4) return std::nullopt;
  return record.subspan(headerLength);
}

}  // namespace

std::optional<LinkLayer> LinkLayerOf(int pcapLinkType) {
  switch (pcapLinkType) {
    case DLT_EN10MB: return LinkLayer::kEthernet;
    case DLT_LINUX_SLL: return LinkLayer::kLinuxCooked;
    case DLT_LINUX_SLL2: return LinkLayer::kLinuxCookedV2;
    case DLT_RAW:
    case DLT_IPV4: return LinkLayer::kRawIp;
    default: return std::nullopt;
  }
}

std::optional<ByteView> Ipv4PacketOf(LinkLayer layer, ByteView record) {
  switch (layer) {
    case LinkLayer::kEthernet: return EthernetPayload(record);
    case LinkLayer::kLinuxCooked: return PayloadAfter(record, kCookedHeader, 14);
    case LinkLayer::kLinuxCookedV2: return PayloadAfter(record, kCookedV2Header, 0);
    case LinkLayer::kRawIp:
      // A raw capture may carry IPv6 as well: the version tells.
      if (record.empty() || record[0] >> 4 != 4) return std::nullopt;
      return record;
  }
  return std::nullopt;
}

std::optional<Ipv4Packet> ParseIpv4(ByteView bytes) {
  if (bytes.size() < kIpv4MinimumHeader || bytes[0] >> 4 != 4) return std::nullopt;
  const std::size_t headerLength = std::size_t{bytes[0] & 0x0Fu} * 4;
  const std::size_t totalLength = BigEndian16(bytes, 2);
  if (headerLength < kIpv4MinimumHeader || totalLength < headerLength || totalLength > bytes.size()) {
    return std::nullopt;
  }
  const std::uint16_t flagsAndOffset = BigEndian16(bytes, 6);
  Ipv4Packet packet;
  packet.identification = BigEndian16(bytes, 4);
  packet.moreFragments = (flagsAndOffset & 0x2000) != 0;
  packet.fragmentOffset = std::uint32_t{flagsAndOffset & 0x1FFFu} * 8;
  packet.protocol = bytes[9];
  packet.source = BigEndian32(bytes, 12);
  packet.destination = BigEndian32(bytes, 16);
  packet.headerLength = static_cast<std::uint8_t>(headerLength);
  packet.payload = bytes.subspan(headerLength, totalLength - headerLength);
  return packet;
}

std::optional<UdpDatagram> ParseUdp(ByteView bytes) {
  if (bytes.size() < kUdpHeader) return std::nullopt;
  UdpDatagram datagram{BigEndian16(bytes, 0), BigEndian16(bytes, 2), false, {}};
  const std::size_t length = BigEndian16(bytes, 4);
  if (length < kUdpHeader || length > bytes.size()) return datagram;
  datagram.lengthValid = true;
  datagram.payload = bytes.subspan(kUdpHeader, length - kUdpHeader);
  return datagram;
}

}  // namespace radarsim
