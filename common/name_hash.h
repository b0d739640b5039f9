#pragma once
// The case-insensitive 32-bit name hash that layer keys are compared by. It crosses the interface to
// the host, so its value is fixed: a CRC-32 table walk without final inversion and with an arithmetic
// right shift of the running value.
#include <cstdint>
#include <string_view>

std::int32_t NameHash(std::string_view text);

// Entry `index` (0..255) of the reflected CRC-32 table the hash uses.
std::uint32_t NameHashTableEntry(std::uint8_t index);
