// A host that creates and destroys the radar module again and again: data module, Init on the
// simulated radar, two displays drawing into views of their own, then everything torn down. Nothing may
// stay alive: the Direct3D, GDI and GDI+ objects return to what there was before, and the leak checker
// of the address sanitizer build finds nothing left at exit.
//
// A cycle costs the sanitizer builds up to ten times what it costs the plain build (mostly the textures'
// fresh pages and the software drawing), so they run fewer cycles by default; SORVIK_LIFECYCLE_CYCLES
// sets the count, for example to run the full thousand under the leak checker.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <thread>

#include "display/module_display_sorvik.h"
#include "display/sweep_store.h"
#include "extensions/d3d9.h"
#include "extensions/gdi32.h"
#include "extensions/gdiplus.h"
#include "host/vk_feature.h"
#include "host_view.h"
#include "module/module_data_sorvik.h"
#include "radar_host.h"

namespace {

// gcc tells a sanitizer build by its macros, clang by its feature test.
#if defined(__has_feature)
#define SORVIK_HAS_FEATURE(name) __has_feature(name)
#else
#define SORVIK_HAS_FEATURE(name) 0
#endif
#if defined(__SANITIZE_THREAD__) || SORVIK_HAS_FEATURE(thread_sanitizer)
constexpr int kDefaultCycles = 40;
#elif defined(__SANITIZE_ADDRESS__) || SORVIK_HAS_FEATURE(address_sanitizer)
constexpr int kDefaultCycles = 150;
#else
constexpr int kDefaultCycles = 1000;
#endif
constexpr int kDrawsPerDisplay = 3;

int Cycles() {
  const char* count = std::getenv("SORVIK_LIFECYCLE_CYCLES");
  return count != nullptr && std::atoi(count) > 0 ? std::atoi(count) : kDefaultCycles;
}

// Until the radar's first sweep of this connection has sized the store: only then do the displays
// build their textures and draw the echo through the device.
bool WaitForFirstSweep() {
  const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (TheSweepStore().GetDimensions().rows == 0) {
    if (std::chrono::steady_clock::now() > limit) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

class LifecycleCycles : public RadarHostTest {};

TEST_F(LifecycleCycles, CreateDrawDestroyCyclesLeaveNothingAlive) {
  StartHost("WarmupSeconds = 0\nTransmitAfterWarmup = 1\n");
  const int cycles = Cycles();
  FakeNavigation navigation(kOwnShip, kOwnShipHeading);
  VKFeature properties;
  properties.SetValue("DAY_NIGHT_MODE", 0L);
  const UINT gdiBefore = LiveGdiObjects();
  const auto start = std::chrono::steady_clock::now();
  for (int cycle = 0; cycle < cycles; ++cycle) {
    std::unique_ptr<ModuleDataSorvik> data(new ModuleDataSorvik());
    ASSERT_TRUE(data->Init(&navigation, nullptr, false)) << "cycle " << cycle;
    {
      HostView views[] = {HostView(64, 12.0), HostView(48, 20.0)};
      std::unique_ptr<ModuleDisplaySorvik> displays[] = {
          std::unique_ptr<ModuleDisplaySorvik>(static_cast<ModuleDisplaySorvik*>(data->CreateDisplay())),
          std::unique_ptr<ModuleDisplaySorvik>(static_cast<ModuleDisplaySorvik*>(data->CreateDisplay()))};
      ASSERT_TRUE(views[0].HasDevice() && views[1].HasDevice());
      ASSERT_TRUE(WaitForFirstSweep()) << "cycle " << cycle;
      for (int draw = 0; draw < kDrawsPerDisplay; ++draw)
        for (int i = 0; i < 2; ++i) {
          displays[i]->PollRedraw();
          displays[i]->Draw(&views[i], 0, &properties, 0);
        }
    }
    data->Terminate();
    data.reset();
    ASSERT_EQ(LiveDirect3DObjects(), 0u) << "cycle " << cycle;
    ASSERT_EQ(LiveGdiplusObjects(), 0u) << "cycle " << cycle;
    ASSERT_EQ(LiveGdiObjects(), gdiBefore) << "cycle " << cycle;
  }
  std::printf("lifecycle: %d cycles in %.1f s\n", cycles,
              std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
}

}  // namespace
