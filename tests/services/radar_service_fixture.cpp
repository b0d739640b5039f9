#include "radar_service_fixture.h"

#include <dlfcn.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

constexpr const char* kLibraryName = "VKSorVik.dll";

}  // namespace

// The staged library, in the radar folder beside the test program's bin/.
std::string ServiceLibraryPath() {
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe");
  return (program.parent_path() / ".." / "SORVIK" / kLibraryName).string();
}

void SweepLog::Clear(std::size_t samplesToKeep) {
  std::lock_guard lock(mutex_);
  summaries_.clear();
  samples_.clear();
  samplesToKeep_ = samplesToKeep;
  count_ = 0;
}

void SweepLog::Add(const SweepRecord& sweep) {
  SweepSummary summary;
  summary.kind = sweep.kind;
  summary.sampleCount = sweep.sampleCount;
  summary.rangeSampleCount = sweep.rangeSampleCount;
  summary.angle = sweep.angle;
  summary.heading = sweep.heading;
  summary.thread = std::this_thread::get_id();
  if (sweep.samples) summary.strongest = *std::max_element(sweep.samples, sweep.samples + sweep.sampleCount);
  std::lock_guard lock(mutex_);
  if (summaries_.size() < kMostSummaries) summaries_.push_back(summary);
  if (samples_.size() < samplesToKeep_ && sweep.samples) {
    samples_.emplace_back(sweep.samples, sweep.samples + sweep.sampleCount);
  }
  ++count_;
}

std::vector<SweepSummary> SweepLog::Summaries() const {
  std::lock_guard lock(mutex_);
  return summaries_;
}

std::vector<std::vector<std::uint8_t>> SweepLog::KeptSamples() const {
  std::lock_guard lock(mutex_);
  return samples_;
}

SweepLog& Sweeps() {
  static SweepLog log;
  return log;
}

std::atomic<int>& ChangeCount() {
  static std::atomic<int> count{0};
  return count;
}

void RecordSweep(const SweepRecord* sweep) {
  if (sweep) Sweeps().Add(*sweep);
}

void RecordChange() { ++ChangeCount(); }

bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

VKSorVikAPI& RadarServiceTest::Service() {
  static VKSorVikAPI* service = [] {
    void* library = dlopen(ServiceLibraryPath().c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) {
      ADD_FAILURE() << dlerror();
      std::abort();
    }
    auto entry = reinterpret_cast<GetVKSorVikAPIFunction>(dlsym(library, "GetVKSorVikAPI"));
    VKSorVikAPI* api = entry ? entry() : nullptr;
    if (!api) std::abort();
    return api;
  }();
  return *service;
}

void RadarServiceTest::SetUp() {
  const auto* test = testing::UnitTest::GetInstance()->current_test_info();
  configPath_ = testing::TempDir() + "vksorvik_" + test->test_suite_name() + "_" + test->name() + "_" +
                std::to_string(getpid()) + ".ini";
  setenv("SORVIK_RADAR_CONFIG", configPath_.c_str(), 1);
  Sweeps().Clear();
  ChangeCount() = 0;
}

void RadarServiceTest::TearDown() {
  Radar().RemoveSweepCallback(RecordSweep);
  Radar().RemoveChangeCallback(RecordChange);
  Configure("OpenResult = 3");
  int imoMode = 0;
  Service().Open(&imoMode);
  std::filesystem::remove(configPath_);
}

void RadarServiceTest::Configure(const std::string& settings) {
  std::ofstream file(configPath_, std::ios::trunc);
  file << "[Radar]\n" << settings << "\n";
}

int RadarServiceTest::Open(bool imoMode) {
  int flag = imoMode ? 1 : 0;
  return Service().Open(&flag);
}

void RadarServiceTest::OpenWith(const std::string& settings, bool imoMode) {
  Configure(settings);
  ASSERT_EQ(Open(imoMode), 0);
}

int RadarServiceTest::StateField(const char* name) {
  FeaturePtr state = State();
  if (!state) {
    ADD_FAILURE() << "no state feature";
    return -1;
  }
  const int index = state->GetFieldIndex(name);
  if (index < 0) {
    ADD_FAILURE() << "no field " << name;
    return -1;
  }
  return state->GetFieldAsInteger(index);
}

FeaturePtr RadarServiceTest::Request(const char* name, int value) {
  FeaturePtr state = State();
  FeaturePtr request(new OGRFeature(state->GetDefnRef()));
  request->SetField(name, value);
  return request;
}

int RadarServiceTest::RequestTransmitState(int state) {
  return Radar().SetStateFeature(Request("RAD_TXSTBY", state).get(), 0);
}

void RadarServiceTest::StartTransmitting() {
  ASSERT_EQ(RequestTransmitState(2), 0);
  ASSERT_TRUE(WaitFor([] { return Sweeps().Count() > 0; }, std::chrono::seconds(5))) << "no sweeps";
}

void RadarServiceTest::WaitForChange(int seenChanges) {
  EXPECT_TRUE(WaitFor([seenChanges] { return ChangeCount() > seenChanges; }, std::chrono::seconds(3)))
      << "no change announced";
}
