// Sweep records as any radar service might send them, through the module's sweep callback into the
// sweep store, in either presentation mode. Every record the store takes must read back as sent (levels
// shifted in the type-approved mode, the rest of the row cleared), and the cursor must follow it.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "display/echo_geometry.h"
#include "display/sweep_store.h"
#include "fuzz_input.h"
#include "module/radar_callbacks.h"

namespace {

constexpr int kMaxRecords = 64;
constexpr std::uint16_t kUsualSampleCounts = 2048;
constexpr int kSampleShift = 5;

[[noreturn]] void Fail(const char* what, int detail) {
  std::fprintf(stderr, "sweep store: %s (%d)\n", what, detail);
  std::abort();
}

bool CarriesSamples(std::uint16_t kind) { return kind == kSweepKindSamples || kind == kSweepKindSamplesAlt; }

// What a row must hold after `record` was stored in it.
void CheckRow(const SweepRecord& record, bool shifted) {
  const SweepStore& store = TheSweepStore();
  const EchoGeometry& geometry = GetEchoGeometry();
  const SweepDimensions dimensions = store.GetDimensions();
  std::vector<std::uint8_t> row(static_cast<std::size_t>(dimensions.rowLength));
  const int rowIndex = record.angle * dimensions.rows / EchoGeometry::kAngleUnits;
  if (!store.ReadRow(rowIndex, row)) Fail("row of a stored sweep unreadable", rowIndex);
  const int copied = CarriesSamples(record.kind) ? std::min<int>(record.sampleCount, dimensions.rowLength) : 0;
  for (int i = 0; i < dimensions.rowLength; ++i) {
    if (i >= geometry.validSamples - 4 && i < geometry.validSamples - 1) {
      if (row[static_cast<std::size_t>(i)] != SweepStore::kEdgeRingLevel) Fail("edge ring missing", i);
      continue;
    }
    std::uint8_t expected = 0;
    if (i < copied) {
      const std::uint8_t sample = record.samples[i];
      expected = shifted ? static_cast<std::uint8_t>(sample >> kSampleShift) : sample;
    }
    if (row[static_cast<std::size_t>(i)] != expected) Fail("stored sample differs from the sweep", i);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzInput input(data, size);
  const bool imo = (input.Byte() & 1) != 0;
  ResetEchoGeometryForTesting();
  ConfigureEchoGeometry(imo);
  SweepStore& store = TheSweepStore();
  store.ResetKeepingMemory();
  store.SetShiftSamples(imo);

  std::int32_t revolutions = store.GetCursor().revolutions;
  std::int32_t lastAngle = store.GetCursor().angle;
  for (int n = 0; n < kMaxRecords && !input.Empty(); ++n) {
    SweepRecord record;
    record.kind = input.Word();
    const std::uint16_t sampleCount = input.Word();
    record.rangeSampleCount = input.Word();
    record.angle = input.Word();
    record.heading = static_cast<std::int16_t>(input.Word());
    const std::uint8_t flags = input.Byte();
    // Mostly counts around the picture's sizes: a store sized for tens of thousands of samples costs the
    // sanitizers most of a run. The full range only when the input asks for it.
    record.sampleCount = (flags & 4) != 0 ? sampleCount : sampleCount % kUsualSampleCounts;
    // Exactly as many sample bytes as the record says, on the heap, so that reading past them shows.
    std::unique_ptr<std::uint8_t[]> samples(new std::uint8_t[record.sampleCount]());
    input.Bytes(samples.get(), record.sampleCount);
    record.samples = (flags & 2) != 0 ? nullptr : samples.get();
    if ((flags & 1) != 0) {
      SweepCallback(nullptr);
      continue;
    }
    const bool sized = store.GetDimensions().rows != 0;
    SweepCallback(&record);

    const bool taken = record.angle < EchoGeometry::kAngleUnits &&
                       !(CarriesSamples(record.kind) && record.samples == nullptr) &&
                       (sized || record.sampleCount > SweepStore::kMinDimension);
    const SweepCursor cursor = store.GetCursor();
    if (!taken) {
      if (cursor.revolutions != revolutions || cursor.angle != lastAngle) Fail("refused sweep moved the cursor", n);
      continue;
    }
    if (record.angle < lastAngle) ++revolutions;
    lastAngle = record.angle;
    if (cursor.revolutions != revolutions || cursor.angle != record.angle || cursor.heading != record.heading)
      Fail("cursor does not follow the sweeps", n);
    CheckRow(record, imo);
  }
  return 0;
}
