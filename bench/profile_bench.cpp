// Cost of the host profile as the module uses it: a read, a write (replaced and flushed to disk), and
// a list read bounded by the 16-bit count whatever count is stored.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "common/profile.h"
#include "mfc/afxwin.h"
#include "mfc/host_profile.h"

namespace {

constexpr const char* kSection = "ModuleData\\RadarData";

// A scratch profile holding the module's usual settings, chosen as the host's profile while it lives.
class ScratchProfile {
public:
  ScratchProfile() {
    std::string pattern = (std::filesystem::temp_directory_path() / "sorvik-profile-bench-XXXXXX").string();
    folder_ = mkdtemp(pattern.data()) ? pattern : std::string();
    AfxSetHostProfilePath((folder_ + "/profile.ini").c_str());
    for (const char* key : {"ECHO_COLOR", "REAL_TIME", "TRAIL_COLOR", "TRAIL_TIME", "RADAR_TYPE", "TRAIL_STATUS"})
      ProfileWriteInt(kSection, key, 1);
    ProfileWriteDouble(kSection, "VK_SHIFT_DIR", 0.5);
    ProfileWriteDouble(kSection, "VK_SHIFT_DIST", 0.25);
    ProfileWriteStringList(kSection, {"/charts/a.kap", "/charts/b.kap", "/charts/c.kap"});
  }
  ~ScratchProfile() {
    AfxSetHostProfilePath(nullptr);
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }

private:
  CWinApp app_;
  std::string folder_;
};

void BM_ProfileReadInt(benchmark::State& state) {
  ScratchProfile profile;
  int value = 0;
  for (auto _ : state) {
    ProfileReadInt(kSection, "TRAIL_TIME", value, 15);
    benchmark::DoNotOptimize(value);
  }
}
BENCHMARK(BM_ProfileReadInt);

void BM_ProfileWriteInt(benchmark::State& state) {
  ScratchProfile profile;
  int value = 0;
  for (auto _ : state) ProfileWriteInt(kSection, "TRAIL_TIME", ++value);
}
BENCHMARK(BM_ProfileWriteInt)->Unit(benchmark::kMicrosecond);

// A foreign count far beyond 16 bits: the read stops after 32767 entries.
void BM_ProfileReadStringListHugeCount(benchmark::State& state) {
  ScratchProfile profile;
  ProfileWriteInt(kSection, "NbOpenedFiles", 2000000000);
  for (auto _ : state) benchmark::DoNotOptimize(ProfileReadStringList(kSection));
}
BENCHMARK(BM_ProfileReadStringListHugeCount)->Unit(benchmark::kMillisecond);

}  // namespace
