#include "common/name_hash.h"

#include <array>

namespace {

std::uint32_t ReverseBits(std::uint32_t value, int width) {
  std::uint32_t reversed = 0;
  for (int bit = 0; bit < width; ++bit) {
    reversed = (reversed << 1) | (value & 1u);
    value >>= 1;
  }
  return reversed;
}

std::array<std::uint32_t, 256> BuildTable() {
  constexpr std::uint32_t kPolynomial = 0x04C11DB7u;
  std::array<std::uint32_t, 256> table{};
  for (std::uint32_t i = 0; i < 256; ++i) {
    std::uint32_t value = ReverseBits(i, 8) << 24;
    for (int step = 0; step < 8; ++step) {
      const bool carry = (value & 0x80000000u) != 0;
      value <<= 1;
      if (carry) value ^= kPolynomial;
    }
    table[i] = ReverseBits(value, 32);
  }
  return table;
}

const std::array<std::uint32_t, 256>& Table() {
  static const std::array<std::uint32_t, 256> table = BuildTable();
  return table;
}

// Upper-cases ASCII letters; bytes from 0x80 upwards are used unchanged.
std::uint8_t UpperByte(char ch) {
  const auto byte = static_cast<std::uint8_t>(ch);
  return (byte >= 'a' && byte <= 'z') ? static_cast<std::uint8_t>(byte - 'a' + 'A') : byte;
}

}  // namespace

std::uint32_t NameHashTableEntry(std::uint8_t index) { return Table()[index]; }

std::int32_t NameHash(std::string_view text) {
  const auto& table = Table();
  std::int32_t hash = -1;
  for (const char ch : text) {
    const std::uint8_t index = UpperByte(ch) ^ static_cast<std::uint8_t>(hash & 0xFF);
    // The shift is arithmetic: a negative running value keeps its top byte 0xFF.
    hash = static_cast<std::int32_t>(table[index] ^ static_cast<std::uint32_t>(hash >> 8));
  }
  return hash;
}
