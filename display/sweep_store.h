#pragma once
// The module-wide store of radar sweeps: one row of sample levels per angular position of the antenna,
// overwritten at every turn, with the antenna's turn count, its last angle and heading word, and the
// distance one row covers. The radar service's thread adds sweeps; the displays read them on the user
// interface thread. Every operation holds the store's lock for its own duration only, and never while
// calling out of the store.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <vector>

#include "host/sweep_record.h"

// Where the antenna was at the latest sweep.
struct SweepCursor {
  std::int32_t revolutions = 0;  // completed turns
  std::int32_t angle = 0;        // 0 to 8191
  std::int32_t heading = 0;      // the sweep's heading word, -1 when the radar has none
};

struct SweepDimensions {
  int rows = 0;
  int rowLength = 0;
};

// One consistent view of the store's bookkeeping, taken under one lock.
struct SweepStoreState {
  int generation = 0;
  SweepDimensions dimensions;
  SweepCursor cursor;
};

class SweepStore {
public:
  // Sample level the edge ring is drawn with.
  static constexpr std::uint8_t kEdgeRingLevel = 6;
  // Neither dimension of a usable buffer may be this small.
  static constexpr int kMinDimension = 32;

  SweepStore() = default;
  SweepStore(const SweepStore&) = delete;
  SweepStore& operator=(const SweepStore&) = delete;

  // Stores one sweep in the row of its angle. `rangeDistance` is the radar's current range in nautical
  // miles, which scales the sweep distance; without it the previous sweep distance stays. A null sweep
  // is ignored (true). False when the sweep is refused: no echo geometry yet, an angle above 8191, a
  // sample-carrying sweep without samples, or a store that cannot be sized.
  bool AddSweep(const SweepRecord* sweep, std::optional<double> rangeDistance);

  // The system tick count (milliseconds) at the arrival of the last sweep; 0 until the first. Stamped
  // on the radar service's thread, read on the user interface thread; a value of its own, outside the
  // store's lock.
  void StampSweepArrival(std::uint32_t tick) { lastSweepTick_.store(tick, std::memory_order_relaxed); }
  std::uint32_t GetLastSweepTick() const { return lastSweepTick_.load(std::memory_order_relaxed); }

  SweepDimensions GetDimensions() const;
  SweepCursor GetCursor() const;
  // Incremented at every (re)allocation of the rows: 0 when constructed, -1 after Reset.
  int GetGeneration() const;
  // Nautical miles one full row covers; 0 until the radar told a range.
  double GetSweepDistance() const;
  SweepStoreState GetState() const;

  // Copies row `row` into `destination` (at most its size, at most the row length) and marks the edge
  // of the picture with a ring of level 6 just inside the valid samples. False, with `destination`
  // untouched, for a row outside the store or an empty destination.
  bool ReadRow(int row, std::span<std::uint8_t> destination) const;

  // Zeroes every row; counters, cursor and generation stay.
  void Clear();
  // Frees the rows: the next sweep sizes the store afresh. Generation becomes -1.
  void Reset();
  // As Reset, but the memory stays for the next sizing, which reuses it when it is large enough; only
  // the rows written since it was last zeroed are cleared. For a caller that resets the store for every
  // few sweeps (the fuzz target), where freeing and zeroing megabytes each time would cost the most.
  void ResetKeepingMemory();

  // Set when the radar sends its levels in the top three bits of each sample: the data module sets it
  // for the mode it opened the radar in (the echo geometry keeps the mode of the first opening).
  void SetShiftSamples(bool shift);
  bool GetShiftSamples() const;

private:
  struct FreeBytes {
    void operator()(std::uint8_t* bytes) const { std::free(bytes); }
  };

  bool SizeFor(int rows, int rowLength, int validSamples);
  void StoreRow(const SweepRecord& sweep, std::uint8_t* row) const;

  mutable std::mutex mutex_;
  std::unique_ptr<std::uint8_t[], FreeBytes> buffer_;
  std::size_t capacity_ = 0;  // bytes of buffer_, zero beyond the rows written
  // One flag per row: written since the rows were last zeroed.
  std::vector<std::uint8_t> writtenRows_;
  int rows_ = 0;
  int rowLength_ = 0;
  // The valid samples of the geometry the rows were sized for: where ReadRow draws the edge ring.
  int validSamples_ = 0;
  std::int32_t revolutions_ = 0;
  std::int32_t lastAngle_ = 0;
  std::int32_t lastHeading_ = 0;
  int generation_ = 0;
  double sweepDistance_ = 0.0;
  // What sweepDistance_ was last worked out from; 0 samples when it must be worked out afresh.
  double distanceRange_ = 0.0;
  int distanceRangeSamples_ = 0;
  bool shiftSamples_ = false;
  std::atomic<std::uint32_t> lastSweepTick_{0};
};

// The module's one store.
SweepStore& TheSweepStore();
