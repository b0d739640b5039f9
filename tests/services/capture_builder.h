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

constexpr std::uint32_t kRecordedGroup = 0xEC060933;  // 236.6.9.51

// An IPv4 UDP packet to `destination` carrying `payload` from byte `offset` of its datagram.
inline Bytes Ipv4(const Bytes& payload, std::uint16_t id = 1, std::uint32_t offset = 0, bool more = false,
                  std::uint32_t destination = kRecordedGroup) {
  Bytes out = {0x45, 0};
  Put16(out, static_cast<std::uint16_t>(payload.size() + 20), true);
  Put16(out, id, true);
  Put16(out, static_cast<std::uint16_t>((more ? 0x2000 : 0) | offset / 8), true);
  out.insert(out.end(), {64, 17, 0, 0, 10, 0, 0, 1});
  Put16(out, static_cast<std::uint16_t>(destination >> 16), true);
  Put16(out, static_cast<std::uint16_t>(destination), true);
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

// One spoke's header as the radar sends it; the recorded radar's values unless a test says otherwise.
struct SpokeHeader {
  std::uint16_t angle = 0;
  std::uint8_t status = 0x02;
  std::uint8_t scanCounter = 0;
  std::uint16_t largeRange = 25465;
  std::uint16_t smallRange = 512;
  std::uint16_t headingWord = 0x4D28;
};

// A spoke datagram's payload: the frame header and one spoke per header, each with a pattern of strengths.
inline Bytes SpokeFrameOf(const std::vector<SpokeHeader>& spokes) {
  Bytes out = {1, 0, 0, 0, 0, static_cast<std::uint8_t>(spokes.size()), 0, 2};
  for (std::size_t n = 0; n < spokes.size(); ++n) {
    const SpokeHeader& spoke = spokes[n];
    out.insert(out.end(), {24, spoke.status, spoke.scanCounter, 0, 0x00, 0x44});
    Put16(out, spoke.largeRange, false);
    Put16(out, spoke.angle, false);
    Put16(out, spoke.headingWord, false);
    Put16(out, spoke.smallRange, false);
    out.resize(out.size() + 10, 0);
    for (int i = 0; i < 512; ++i) out.push_back(static_cast<std::uint8_t>(i * 7 + static_cast<int>(n)));
  }
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
