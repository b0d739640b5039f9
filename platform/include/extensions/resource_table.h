#pragma once
// Extension, not part of Win32: how a library carries its string resources, as LoadStringA reads them
// and resource libraries define them. A library exports one table of (identifier, text) pairs as the
// data symbol "SorvikResourceTable". The table is one self-contained block of bytes without pointers, so
// it can be read straight from the library's file when the library is opened as a data file, without
// loading it or running any of its code.
//
// Layout, every number 32-bit little-endian:
//   "SRES", the table's size in bytes, the entry count,
//   per entry: identifier, offset of its text from the start of the table, length of its text,
//   then the texts, not terminated.
//
// A resource library defines its table with SORVIK_RESOURCE_TABLE(strings), where `strings` is a
// constexpr array of resource_table::StringResource; a malformed table (duplicate identifier, text too
// long) fails to compile.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace resource_table {

inline constexpr char kSymbolName[] = "SorvikResourceTable";
inline constexpr std::size_t kHeaderSize = 12;
inline constexpr std::size_t kEntrySize = 12;
// The longest string resource Windows can hold.
inline constexpr std::size_t kMaxTextLength = 65535;

struct StringResource {
  std::uint32_t id;
  std::string_view text;
};

namespace detail {
constexpr void Put32(unsigned char* at, std::uint64_t value) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<unsigned char>(value >> (8 * i));
}
constexpr std::uint32_t Get32(const unsigned char* at) {
  return static_cast<std::uint32_t>(at[0]) | static_cast<std::uint32_t>(at[1]) << 8 |
         static_cast<std::uint32_t>(at[2]) << 16 | static_cast<std::uint32_t>(at[3]) << 24;
}
inline constexpr unsigned char kMagic[4] = {'S', 'R', 'E', 'S'};
}  // namespace detail

constexpr std::size_t TableSize(std::span<const StringResource> strings) {
  std::size_t size = kHeaderSize + strings.size() * kEntrySize;
  for (const StringResource& entry : strings) size += entry.text.size();
  return size;
}

// Throws (a compile error in a constant initialisation) on a duplicate identifier, an over-long text or
// a size that does not match `strings`.
template <std::size_t Size>
constexpr std::array<unsigned char, Size> BuildTable(std::span<const StringResource> strings) {
  if (TableSize(strings) != Size) throw "resource table size does not match its strings";
  std::array<unsigned char, Size> table{};
  for (std::size_t i = 0; i < 4; ++i) table[i] = detail::kMagic[i];
  detail::Put32(&table[4], Size);
  detail::Put32(&table[8], strings.size());
  std::size_t textOffset = kHeaderSize + strings.size() * kEntrySize;
  for (std::size_t i = 0; i < strings.size(); ++i) {
    const StringResource& entry = strings[i];
    if (entry.text.size() > kMaxTextLength) throw "string resource too long";
    for (std::size_t j = 0; j < i; ++j)
      if (strings[j].id == entry.id) throw "duplicate string resource identifier";
    unsigned char* record = &table[kHeaderSize + i * kEntrySize];
    detail::Put32(record, entry.id);
    detail::Put32(record + 4, textOffset);
    detail::Put32(record + 8, entry.text.size());
    for (char ch : entry.text) table[textOffset++] = static_cast<unsigned char>(ch);
  }
  return table;
}

// The size a well-formed table starting at `block` declares, when it fits in the block.
inline std::optional<std::size_t> DeclaredSize(std::span<const unsigned char> block) {
  if (block.size() < kHeaderSize) return std::nullopt;
  for (std::size_t i = 0; i < 4; ++i)
    if (block[i] != detail::kMagic[i]) return std::nullopt;
  const std::uint64_t size = detail::Get32(&block[4]);
  const std::uint64_t count = detail::Get32(&block[8]);
  if (size > block.size() || kHeaderSize + count * kEntrySize > size) return std::nullopt;
  return static_cast<std::size_t>(size);
}

// The text of string `id`, or nothing when the table has no such string. The table may come from a
// file: a malformed table or entry yields nothing, never a read outside `table`.
inline std::optional<std::string_view> FindString(std::span<const unsigned char> table, std::uint32_t id) {
  const std::optional<std::size_t> size = DeclaredSize(table);
  if (!size) return std::nullopt;
  const std::uint32_t count = detail::Get32(&table[8]);
  for (std::uint32_t i = 0; i < count; ++i) {
    const unsigned char* record = &table[kHeaderSize + std::size_t{i} * kEntrySize];
    if (detail::Get32(record) != id) continue;
    const std::uint64_t offset = detail::Get32(record + 4);
    const std::uint64_t length = detail::Get32(record + 8);
    if (offset + length > *size) return std::nullopt;
    return std::string_view(reinterpret_cast<const char*>(table.data()) + offset,
                            static_cast<std::size_t>(length));
  }
  return std::nullopt;
}

}  // namespace resource_table

// Defines the exported table of a resource library from a constexpr array of StringResource.
#define SORVIK_RESOURCE_TABLE(strings)                                                                 \
  extern "C" {                                                                                         \
  __attribute__((visibility("default"))) extern const std::array<                                      \
      unsigned char, ::resource_table::TableSize(strings)> SorvikResourceTable;                        \
  }                                                                                                    \
  constinit const std::array<unsigned char, ::resource_table::TableSize(strings)> SorvikResourceTable = \
      ::resource_table::BuildTable<::resource_table::TableSize(strings)>(strings)
