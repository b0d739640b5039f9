// Capture files as the replay reader may be given them: damaged, cut short, of any link type, with
// fragments overlapping, missing or oversized, spoke frames and sentences of any content. The reader
// must read to the end without fault, and every event it gives must be one the radar could send.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

#include "scratch_folder.h"
#include "services/radar/capture_reader.h"

namespace {

// Far more than a capture of the fuzzer's size can hold: a reader that keeps giving events is stuck.
constexpr int kMaxEvents = 1 << 16;

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "capture reader: %s\n", what);
  std::abort();
}

void CheckSpoke(const radarsim::Spoke& spoke) {
  if (spoke.angle >= radarsim::kSpokeAnglesPerTurn) Fail("spoke angle beyond a turn");
  for (std::uint8_t strength : spoke.strengths)
    if (strength > 15) Fail("echo strength above 15");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const FuzzScratchFolder folder;
  static const std::string path = folder.File("capture.pcap");
  std::ofstream(path, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  std::string error;
  std::unique_ptr<radarsim::CaptureReader> reader = radarsim::CaptureReader::Open(path, error);
  if (!reader) {
    if (error.empty()) Fail("refused without a reason");
    return 0;
  }
  radarsim::CaptureEvent event;
  int events = 0;
  while (reader->Next(event)) {
    if (++events > kMaxEvents) Fail("events without end");
    if (event.kind == radarsim::CaptureEvent::Kind::kSpoke) CheckSpoke(event.spoke);
  }
  const radarsim::CaptureCounts& counts = reader->Counts();
  if (counts.spokes > 0 && counts.frames == 0) Fail("spokes without frames");
  return 0;
}
