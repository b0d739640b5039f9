#pragma once
// Reads fuzzer input as a stream of little-endian fields; past the end every read answers zero, so a
// target never has to test for a short input.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

class FuzzInput {
public:
  FuzzInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  bool Empty() const { return offset_ >= size_; }
  std::size_t Remaining() const { return Empty() ? 0 : size_ - offset_; }

  std::uint8_t Byte() { return Empty() ? 0 : data_[offset_++]; }
  // The low byte first; the reads are sequenced one after the other, whatever the compiler.
  std::uint16_t Word() {
    const std::uint16_t low = Byte();
    return static_cast<std::uint16_t>(low | Byte() << 8);
  }
  std::uint32_t Long() {
    const std::uint32_t low = Word();
    return low | static_cast<std::uint32_t>(Word()) << 16;
  }
  std::uint64_t Quad() {
    const std::uint64_t low = Long();
    return low | static_cast<std::uint64_t>(Long()) << 32;
  }

  // Up to `count` bytes into `destination`; what the input lacks stays as it was.
  void Bytes(std::uint8_t* destination, std::size_t count) {
    const std::size_t taken = std::min(count, Remaining());
    if (taken != 0) std::memcpy(destination, data_ + offset_, taken);
    offset_ += taken;
  }

  // A text of up to `maxLength` bytes, ended early by a zero byte.
  std::string Text(std::size_t maxLength) {
    std::string text;
    while (text.size() < maxLength && !Empty()) {
      const char c = static_cast<char>(Byte());
      if (c == '\0') break;
      text.push_back(c);
    }
    return text;
  }

private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t offset_ = 0;
};
