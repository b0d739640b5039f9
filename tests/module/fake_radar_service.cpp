// A radar service library for the loading tests: answers nothing useful, counts its entry calls, and
// answers a null service when FAKE_RADAR_ENTRY_NULL is set.
#include <atomic>
#include <cstdlib>

#include "host/radar_service.h"
#include "support/quiet_radar.h"

namespace {

std::atomic<int> entryCalls{0};

class IdleRadar final : public QuietRadar {};

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
