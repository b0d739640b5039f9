// A radar service library for the loading tests: answers nothing useful, counts its entry calls, and
// answers a null service when FAKE_RADAR_ENTRY_NULL is set.
#include <atomic>
#include <cstdlib>

#include "host/radar_service.h"

namespace {

std::atomic<int> entryCalls{0};

class IdleRadar final : public SorVikRadar {
public:
  OGRFeature* GetStateFeature(int) override { return nullptr; }
  int SetStateFeature(OGRFeature*, int) override { return -1; }
  int GetCurrentRange(int*, int*) override { return -1; }
  int SetTrailTime(int) override { return 0; }
  int AddSweepCallback(RadarSweepCallback) override { return 0; }
  int AddChangeCallback(RadarChangeCallback) override { return 0; }
  int RemoveSweepCallback(RadarSweepCallback) override { return 0; }
  int RemoveChangeCallback(RadarChangeCallback) override { return 0; }
  double RangeToDistance(int, int) override { return 0.0; }
  bool GetRingLayout(int, int, float*, int*) override { return false; }
  int GetPulseLabelCode(int, int, int, int) override { return -1; }
  void FormatRange(CString& text, int) override { text.Empty(); }
  double GetRingInterval(int, int) override { return 0.0; }
};

class IdleService final : public VKSorVikAPI {
public:
  int Open(int*) override { return -5; }
  SorVikRadar* GetRadar() override { return &radar_; }
  void GetRadarIdentity(CString&, CString& name, CString&, CString&, CString&, CString&) override {
    name = "RADAR";
  }

private:
  IdleRadar radar_;
};

}  // namespace

extern "C" __attribute__((visibility("default"))) VKSorVikAPI* GetVKSorVikAPI() {
  ++entryCalls;
  if (std::getenv("FAKE_RADAR_ENTRY_NULL")) return nullptr;
  static IdleService service;
  return &service;
}

extern "C" __attribute__((visibility("default"))) int FakeRadarEntryCallCount() { return entryCalls.load(); }
