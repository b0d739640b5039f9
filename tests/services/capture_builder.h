#pragma once
// Builds small pcap captures in memory: Ethernet, Linux cooked or raw IPv4 records carrying UDP datagrams,
// whole or as IPv4 fragments.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace capture_test {

using Bytes = std::vector<std::uint8_t>;

constexpr int kLinkEthernet = 1;
constexpr int kLinkRawIp = 101;
constexpr int kLinkLinuxCooked = 113;

inline void Put16(Bytes& out, std::uint16_t value, bool bigEndian) {
  if (bigEndian) {
    out.push_back(static_cast<std::uint8_t>(value >> 8));
    out.push_back(static_cast<std::uint8_t>(value));
  } else {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
  }
}

inline void Put32(Bytes& out, std::uint32_t value) {  // little-endian, as the pcap headers here
  Put16(out, static_cast<std::uint16_t>(value), false);
  Put16(out, static_cast<std::uint16_t>(value >> 16), false);
}

inline Bytes Udp(std::uint16_t port, const Bytes& payload) {
  Bytes out;
  Put16(out, 50000, true);
  Put16(out, port, true);
  Put16(out, static_cast<std::uint16_t>(payload.size() + 8), true);
  Put16(out, 0, true);
  out.insert(out.end(), payload.begin(), payload.end());
  return out;
}

// A spoke datagram's payload: the frame header and `count` spokes from `firstAngle` on, two angles apart
// as the recorded radar sends them, each spanning `metres` with one strong echo half way out.
inline Bytes SpokeDatagram(std::uint16_t firstAngle, int count = 32, std::uint16_t metres = 1852) {
  Bytes out = {1, 0, 0, 0, 0, static_cast<std::uint8_t>(count), 0, 2};
  for (int spoke = 0; spoke < count; ++spoke) {
    Bytes header = {24, 0x02};
    header.resize(24, 0);
    const auto angle = static_cast<std::uint16_t>((firstAngle + 2 * spoke) % 4096);
    header[6] = static_cast<std::uint8_t>(metres), header[7] = static_cast<std::uint8_t>(metres >> 8);
    header[8] = static_cast<std::uint8_t>(angle), header[9] = static_cast<std::uint8_t>(angle >> 8);
    header[12] = 0x00, header[13] = 0x02;  // the small range word 512
    out.insert(out.end(), header.begin(), header.end());
    Bytes samples(512, 0);
    samples[256] = 0xFF;
    out.insert(out.end(), samples.begin(), samples.end());
  }
  return out;
}

inline Bytes Text(std::string_view text) { return Bytes(text.begin(), text.end()); }

// An IPv4 UDP packet carrying `payload` from byte `offset` of its datagram.
inline Bytes Ipv4(const Bytes& payload, std::uint16_t id = 1, std::uint32_t offset = 0, bool more = false) {
  Bytes out = {0x45, 0};
  Put16(out, static_cast<std::uint16_t>(payload.size() + 20), true);
  Put16(out, id, true);
  Put16(out, static_cast<std::uint16_t>((more ? 0x2000 : 0) | offset / 8), true);
  out.insert(out.end(), {64, 17, 0, 0, 10, 0, 0, 1, 236, 6, 9, 51});
  out.insert(out.end(), payload.begin(), payload.end());
  return out;
}

inline Bytes Ethernet(const Bytes& ip, int vlanTags = 0) {
  Bytes out = {1, 0, 0x5E, 6, 9, 51, 2, 0, 0, 0, 0, 1};
  for (int tag = 0; tag < vlanTags; ++tag) out.insert(out.end(), {0x81, 0x00, 0x00, 0x07});
  out.insert(out.end(), {0x08, 0x00});
  out.insert(out.end(), ip.begin(), ip.end());
  return out;
}

inline Bytes LinuxCooked(const Bytes& ip) {
  Bytes out = {0, 0, 0, 1, 0, 6, 2, 0, 0, 0, 0, 1, 0, 0, 0x08, 0x00};
  out.insert(out.end(), ip.begin(), ip.end());
  return out;
}

struct PcapWriter {
  explicit PcapWriter(int linkType = kLinkEthernet) {
    Put32(bytes, 0xA1B2C3D4);
    Put16(bytes, 2, false);
    Put16(bytes, 4, false);
    Put32(bytes, 0);
    Put32(bytes, 0);
    Put32(bytes, 262144);
    Put32(bytes, static_cast<std::uint32_t>(linkType));
  }
  PcapWriter& Add(const Bytes& record, double seconds = 0.0) {
    const auto whole = static_cast<std::uint32_t>(seconds);
    Put32(bytes, 1700000000 + whole);
    Put32(bytes, static_cast<std::uint32_t>((seconds - whole) * 1e6));
    Put32(bytes, static_cast<std::uint32_t>(record.size()));
    Put32(bytes, static_cast<std::uint32_t>(record.size()));
    bytes.insert(bytes.end(), record.begin(), record.end());
    return *this;
  }
  Bytes bytes;
};

}  // namespace capture_test
