// Cost of the host profile as the module uses it: a read, a write (replaced and flushed to disk), how the
// cost of reading a list grows with its length, and a list read bounded by the 16-bit count whatever
// count is stored.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "afxwin.h"
#include "common/profile.h"
#include "extensions/mfc.h"

namespace {

constexpr const char* kSection = "ModuleData\\RadarData";

// A scratch profile folder, removed with the object.
class ScratchFolder {
public:
  ScratchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "sorvik-profile-bench-XXXXXX").string();
    path_ = mkdtemp(pattern.data()) ? pattern : std::string();
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  std::string File(const std::string& name) const { return path_ + "/" + name; }

private:
  std::string path_;
};

// A profile holding the module's usual settings and a list of `entries` files under `storedCount`, as a
// previous session left it.
std::string WriteListProfile(const ScratchFolder& folder, const std::string& name, int entries, long storedCount) {
  const std::string path = folder.File(name);
  std::ofstream out(path, std::ios::binary);
  out << "[" << kSection << "]\n";
  for (const char* key : {"ECHO_COLOR", "REAL_TIME", "TRAIL_COLOR", "TRAIL_TIME", "RADAR_TYPE", "TRAIL_STATUS"})
    out << key << "=1\n";
  out << "NbOpenedFiles=" << storedCount << "\n";
  for (int i = 0; i < entries; ++i) out << "File" << i << "=/charts/area-" << i << ".kap\n";
  return path;
}

// Files written moments ago are checked byte by byte until their time stamps are old enough to tell any
// later change; the benchmarks measure the profile as a host finds it, written in an earlier session.
void LetTimeStampsSettle() { std::this_thread::sleep_for(std::chrono::milliseconds(2100)); }

class ChosenProfile {
public:
  explicit ChosenProfile(const std::string& path) { AfxSetHostProfilePath(path.c_str()); }
  ~ChosenProfile() { AfxSetHostProfilePath(nullptr); }
  ChosenProfile(const ChosenProfile&) = delete;
  ChosenProfile& operator=(const ChosenProfile&) = delete;
};

void BM_ProfileReadInt(benchmark::State& state) {
  CWinApp app;
  ScratchFolder folder;
  const ChosenProfile chosen(WriteListProfile(folder, "profile.ini", 3, 3));
  LetTimeStampsSettle();
  int value = 0;
  for (auto _ : state) {
    ProfileReadInt(kSection, "TRAIL_TIME", value, 15);
    benchmark::DoNotOptimize(value);
  }
}
BENCHMARK(BM_ProfileReadInt);

void BM_ProfileWriteInt(benchmark::State& state) {
  CWinApp app;
  ScratchFolder folder;
  const ChosenProfile chosen(WriteListProfile(folder, "profile.ini", 3, 3));
  int value = 0;
  for (auto _ : state) ProfileWriteInt(kSection, "TRAIL_TIME", ++value);
}
BENCHMARK(BM_ProfileWriteInt)->Unit(benchmark::kMicrosecond);

// Reading a list of 10,000 entries against reading one of 100, each timed on its own in every iteration:
// `ratio_per_entry` is the time per entry of the long list over that of the short one (1 when a read
// costs the same whatever the profile's size).
void BM_ProfileReadStringListGrowth(benchmark::State& state) {
  constexpr int kShort = 100;
  constexpr int kLong = 10000;
  CWinApp app;
  ScratchFolder folder;
  const std::string shortList = WriteListProfile(folder, "short.ini", kShort, kShort);
  const std::string longList = WriteListProfile(folder, "long.ini", kLong, kLong);
  LetTimeStampsSettle();
  using Clock = std::chrono::steady_clock;
  Clock::duration shortTime{};
  Clock::duration longTime{};
  for (auto _ : state) {
    AfxSetHostProfilePath(shortList.c_str());
    const auto start = Clock::now();
    benchmark::DoNotOptimize(ProfileReadStringList(kSection));
    const auto middle = Clock::now();
    AfxSetHostProfilePath(longList.c_str());
    benchmark::DoNotOptimize(ProfileReadStringList(kSection));
    const auto end = Clock::now();
    shortTime += middle - start;
    longTime += end - middle;
  }
  AfxSetHostProfilePath(nullptr);
  const double iterations = static_cast<double>(state.iterations());
  const double shortPerEntry = std::chrono::duration<double, std::nano>(shortTime).count() / iterations / kShort;
  const double longPerEntry = std::chrono::duration<double, std::nano>(longTime).count() / iterations / kLong;
  state.counters["ns_per_entry_100"] = shortPerEntry;
  state.counters["ns_per_entry_10000"] = longPerEntry;
  state.counters["ratio_per_entry"] = longPerEntry / shortPerEntry;
}
BENCHMARK(BM_ProfileReadStringListGrowth)->Unit(benchmark::kMillisecond);

// A foreign count far beyond 16 bits over a list of 300 entries: the read stops after 32767 entries.
void BM_ProfileReadStringListHugeCount(benchmark::State& state) {
  CWinApp app;
  ScratchFolder folder;
  const ChosenProfile chosen(WriteListProfile(folder, "profile.ini", 300, 2147483647L));
  LetTimeStampsSettle();
  using Clock = std::chrono::steady_clock;
  Clock::duration total{};
  for (auto _ : state) {
    const auto start = Clock::now();
    benchmark::DoNotOptimize(ProfileReadStringList(kSection));
    total += Clock::now() - start;
  }
  state.counters["huge_count_ms"] =
      std::chrono::duration<double, std::milli>(total).count() / static_cast<double>(state.iterations());
}
BENCHMARK(BM_ProfileReadStringListHugeCount)->Unit(benchmark::kMillisecond);

}  // namespace
