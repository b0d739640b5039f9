#include "display/sweep_store.h"

#include <algorithm>
#include <cstring>

#include "display/echo_geometry.h"

namespace {

constexpr int kMaxAngle = EchoGeometry::kAngleUnits - 1;
// A radar that shifts its samples sends its levels in the top three bits of each sample byte.
constexpr int kSampleShift = 5;
// The positions of the edge ring, counted back from the valid samples of a row.
constexpr int kEdgeRingFirst = 4;
constexpr int kEdgeRingEnd = 1;

// Keeps the top three bits of each sample as its level, a vector of samples at a time: shifting whole
// 64-bit lanes moves each byte's top bits down to its bottom and the next byte's low bits in above
// them; the mask keeps each byte's own three, whatever the byte order.
inline __attribute__((always_inline)) void ShiftLevelsBody(const std::uint8_t* source, std::uint8_t* destination,
                                                           std::size_t count) {
  using Lanes = std::uint64_t __attribute__((vector_size(32)));
  constexpr std::uint64_t kLevelBits = 0x0707070707070707;
  std::size_t i = 0;
  for (; i + sizeof(Lanes) <= count; i += sizeof(Lanes)) {
    Lanes lanes;
    std::memcpy(&lanes, source + i, sizeof lanes);
    lanes = (lanes >> kSampleShift) & kLevelBits;
    std::memcpy(destination + i, &lanes, sizeof lanes);
  }
  for (; i < count; ++i) destination[i] = static_cast<std::uint8_t>(source[i] >> kSampleShift);
}

__attribute__((target("avx2"))) void ShiftLevelsAvx2(const std::uint8_t* source, std::uint8_t* destination,
                                                     std::size_t count) {
  ShiftLevelsBody(source, destination, count);
}

void ShiftLevelsPlain(const std::uint8_t* source, std::uint8_t* destination, std::size_t count) {
  ShiftLevelsBody(source, destination, count);
}

// Built for AVX2 and for any x86-64 processor, the one the processor runs chosen at the first call
// (not by the loader: a loader-time resolver runs before the sanitizers' runtimes are ready).
void ShiftLevels(const std::uint8_t* source, std::uint8_t* destination, std::size_t count) {
  static const bool hasAvx2 = __builtin_cpu_supports("avx2");
  (hasAvx2 ? ShiftLevelsAvx2 : ShiftLevelsPlain)(source, destination, count);
}

bool CarriesSamples(const SweepRecord& sweep) {
  return sweep.kind == kSweepKindSamples || sweep.kind == kSweepKindSamplesAlt;
}

}  // namespace

bool SweepStore::AddSweep(const SweepRecord* sweep, std::optional<double> rangeDistance) {
  if (sweep == nullptr) return true;
  // Read once: what was checked is what gets stored.
  const SweepRecord record = *sweep;
  const EchoGeometry* geometry = ConfiguredEchoGeometry();
  if (geometry == nullptr) return false;
  // Checked before anything changes: an impossible angle must not move the cursor either.
  if (record.angle > kMaxAngle) return false;
  if (CarriesSamples(record) && record.samples == nullptr) return false;

  std::lock_guard lock(mutex_);
  // The rows are sized once, by the first sweep after construction or Reset: the geometry never
  // changes, so neither does the row count. Later sweeps of another length are fitted to the row.
  if (rows_ != geometry->rows && !SizeFor(geometry->rows, record.sampleCount, geometry->validSamples))
    return false;

  if (record.angle < lastAngle_) ++revolutions_;
  lastAngle_ = record.angle;
  lastHeading_ = record.heading;

  const int row = record.angle * rows_ / EchoGeometry::kAngleUnits;
  writtenRows_[static_cast<std::size_t>(row)] = 1;
  StoreRow(record, buffer_.get() + static_cast<std::size_t>(row) * static_cast<std::size_t>(rowLength_));

  // The samples of every sweep sit at the same positions in the row, so the row spans rowLength
  // samples of the range's scale whatever this sweep's own length was.
  // Worked out again only when the range or its samples change, as they seldom do from sweep to sweep.
  if (rangeDistance && record.rangeSampleCount != 0 &&
      (*rangeDistance != distanceRange_ || record.rangeSampleCount != distanceRangeSamples_)) {
    sweepDistance_ = *rangeDistance * rowLength_ / record.rangeSampleCount;
    distanceRange_ = *rangeDistance;
    distanceRangeSamples_ = record.rangeSampleCount;
  }
  return true;
}

bool SweepStore::SizeFor(int rows, int rowLength, int validSamples) {
  if (rows <= kMinDimension || rowLength <= kMinDimension) return false;
  const std::size_t size = static_cast<std::size_t>(rows) * static_cast<std::size_t>(rowLength);
  if (buffer_ == nullptr || size > capacity_) {
    // calloc: the rows start at level 0 without touching pages that may never be swept.
    auto* bytes = static_cast<std::uint8_t*>(std::calloc(size, 1));
    if (bytes == nullptr) return false;
    buffer_.reset(bytes);
    capacity_ = size;
  }
  writtenRows_.assign(static_cast<std::size_t>(rows), 0);
  rows_ = rows;
  rowLength_ = rowLength;
  validSamples_ = validSamples;
  distanceRangeSamples_ = 0;
  ++generation_;
  return true;
}

void SweepStore::StoreRow(const SweepRecord& sweep, std::uint8_t* row) const {
  const std::size_t rowLength = static_cast<std::size_t>(rowLength_);
  std::size_t copied = 0;
  if (CarriesSamples(sweep)) {
    copied = std::min<std::size_t>(sweep.sampleCount, rowLength);
    if (shiftSamples_)
      ShiftLevels(sweep.samples, row, copied);
    else
      std::memcpy(row, sweep.samples, copied);
  }
  // Whatever this sweep did not cover: an older, longer sweep's tail would show as false echo.
  if (copied < rowLength) std::memset(row + copied, 0, rowLength - copied);
}

SweepDimensions SweepStore::GetDimensions() const {
  std::lock_guard lock(mutex_);
  return {rows_, rowLength_};
}

SweepCursor SweepStore::GetCursor() const {
  std::lock_guard lock(mutex_);
  return {revolutions_, lastAngle_, lastHeading_};
}

int SweepStore::GetGeneration() const {
  std::lock_guard lock(mutex_);
  return generation_;
}

double SweepStore::GetSweepDistance() const {
  std::lock_guard lock(mutex_);
  return sweepDistance_;
}

SweepStoreState SweepStore::GetState() const {
  std::lock_guard lock(mutex_);
  return {generation_, {rows_, rowLength_}, {revolutions_, lastAngle_, lastHeading_}};
}

bool SweepStore::ReadRow(int row, std::span<std::uint8_t> destination) const {
  if (destination.empty()) return false;
  std::lock_guard lock(mutex_);
  if (buffer_ == nullptr || row < 0 || row >= rows_) return false;
  const std::size_t length = std::min(destination.size(), static_cast<std::size_t>(rowLength_));
  std::memcpy(destination.data(), buffer_.get() + static_cast<std::size_t>(row) * rowLength_, length);
  // The ring is drawn only where the row has those samples.
  const int end = std::min(validSamples_ - kEdgeRingEnd, static_cast<int>(length));
  for (int i = std::max(validSamples_ - kEdgeRingFirst, 0); i < end; ++i) destination[i] = kEdgeRingLevel;
  return true;
}

void SweepStore::Clear() {
  std::lock_guard lock(mutex_);
  if (buffer_ != nullptr)
    std::memset(buffer_.get(), 0, static_cast<std::size_t>(rows_) * static_cast<std::size_t>(rowLength_));
  std::fill(writtenRows_.begin(), writtenRows_.end(), 0);
}

void SweepStore::Reset() {
  std::lock_guard lock(mutex_);
  buffer_.reset();
  capacity_ = 0;
  writtenRows_.clear();
  rows_ = 0;
  rowLength_ = 0;
  validSamples_ = 0;
  generation_ = -1;
}

void SweepStore::ResetKeepingMemory() {
  std::lock_guard lock(mutex_);
  const std::size_t rowLength = static_cast<std::size_t>(rowLength_);
  for (std::size_t row = 0; row < writtenRows_.size(); ++row)
    if (writtenRows_[row] != 0) std::memset(buffer_.get() + row * rowLength, 0, rowLength);
  writtenRows_.clear();
  rows_ = 0;
  rowLength_ = 0;
  validSamples_ = 0;
  generation_ = -1;
}

void SweepStore::SetShiftSamples(bool shift) {
  std::lock_guard lock(mutex_);
  shiftSamples_ = shift;
}

bool SweepStore::GetShiftSamples() const {
  std::lock_guard lock(mutex_);
  return shiftSamples_;
}

SweepStore& TheSweepStore() {
  static SweepStore store;
  return store;
}
