#pragma once
// Small, fast and portable pseudo-random numbers for the simulated radar. The standard distributions
// differ between library implementations; these give the same scene and the same noise everywhere.
#include <cstdint>

namespace radarsim {

constexpr std::uint64_t kGoldenGamma = 0x9E3779B97F4A7C15ull;

// Mixes a 64-bit value into a well-spread one (the SplitMix64 finaliser).
constexpr std::uint64_t MixBits(std::uint64_t value) {
  value = (value ^ (value >> 30)) * 0xBF58476D1CE4E5B9ull;
  value = (value ^ (value >> 27)) * 0x94D049BB133111EBull;
  return value ^ (value >> 31);
}

// A hash of two values, for per-sweep and per-cell noise that does not depend on call order.
constexpr std::uint64_t HashPair(std::uint64_t a, std::uint64_t b) {
  return MixBits(MixBits(a + kGoldenGamma) + b * kGoldenGamma);
}

// SplitMix64 sequence: used where a few numbers are drawn (the scene layout).
class SceneRandom {
public:
  explicit SceneRandom(std::uint64_t seed) : state_(seed) {}
  std::uint64_t Next() {
    state_ += kGoldenGamma;
    return MixBits(state_);
  }
  // Uniform in [low, high).
  double Uniform(double low, double high) {
    return low + (high - low) * static_cast<double>(Next() >> 11) * 0x1.0p-53;
  }

private:
  std::uint64_t state_;
};

// xorshift32: one number per sample, where speed matters more than quality.
class SampleRandom {
public:
  // Never 0: xorshift would stay there.
  explicit SampleRandom(std::uint64_t seed)
      : state_(static_cast<std::uint32_t>(MixBits(seed + kGoldenGamma)) | 1u) {}
  std::uint32_t Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
  }
  // 0 to 255.
  std::uint32_t NextByte() { return Next() >> 24; }

private:
  std::uint32_t state_;
};

}  // namespace radarsim
