// The data module's radar connection: over a radar of the test's own for Refresh and the range, and
// connected to the simulated radar through the staged service libraries as a host drives it: Init,
// sweeps flowing into the store, change notices, the range, Terminate.
#include <gtest/gtest.h>
#include <ogrsf_frmts.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <thread>

#include "afxwin.h"
#include "display/echo_geometry.h"
#include "display/sweep_store.h"
#include "extensions/mfc.h"
#include "host/host_sink.h"
#include "host/radar_service.h"
#include "module/module_data_sorvik.h"
#include "module/radar_callbacks.h"
#include "module/service_libraries.h"
#include "services/velihm/velihm_diagnostics.h"
#include "settings/field_access.h"
#include "support/fake_navigation.h"
#include "support/fake_radar.h"
#include "support/test_data_module.h"
#include "winbase.h"

namespace {

using namespace std::chrono_literals;

class RecordingSink : public HostSink {
public:
  void OnModuleNotice(const int& kind, const ModuleLayerKeyValue& subject) override {
    kinds_.push_back(kind);
    subjects_.push_back(subject);
    if (onNotice_) onNotice_();
  }
  std::vector<int> kinds_;
  std::vector<ModuleLayerKeyValue> subjects_;
  // What the host does while handling a notice.
  std::function<void()> onNotice_;
};


// What the user-interface service showed, read from the loaded service library itself.
std::vector<VelIHMShownMessage> ShownMessages() {
  std::vector<VelIHMShownMessage> shown;
  const HMODULE library = GetModuleHandleA("VelIHM.dll");
  if (!library) return shown;
  auto count = reinterpret_cast<VelIHMShownMessageCountFunction>(
      GetProcAddress(library, "VelIHMShownMessageCount"));
  auto get =
      reinterpret_cast<VelIHMGetShownMessageFunction>(GetProcAddress(library, "VelIHMGetShownMessage"));
  for (int index = 0; count && get && index < count(); ++index) {
    VelIHMShownMessage message{};
    if (get(index, &message)) shown.push_back(message);
  }
  return shown;
}

template <typename Condition>
bool WaitFor(Condition condition, std::chrono::milliseconds limit = 15s) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(10ms);
  }
  return true;
}

// One scratch host per test: the radar's configuration, the profile file and the application object.
// The module-wide state (loaded services, echo geometry, sweep store) lives as long as the process; each
// test holds whether it runs alone or after the others.
class RadarConnection : public ::testing::Test {
protected:
  void SetUp() override {
    char pattern[] = "/tmp/sorvik-connection-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    folder_ = pattern;
    AfxSetHostProfilePath((folder_ / "profile.ini").c_str());
    ConfigureRadar(0);
  }
  void TearDown() override {
    unsetenv("SORVIK_RADAR_CONFIG");
    AfxSetHostProfilePath(nullptr);
    std::filesystem::remove_all(folder_);
  }

  void ConfigureRadar(int openResult) {
    const std::filesystem::path config = folder_ / "VKSorVik.ini";
    std::ofstream(config) << "[Radar]\nOpenResult = " << openResult
                          << "\nRotationRate = 600\nWarmupSeconds = 0\nRange = 4\n";
    setenv("SORVIK_RADAR_CONFIG", config.c_str(), 1);
  }

  static void RequestTransmit(ModuleDataSorvik& data) {
    OGRLayer* layer = data.GetOGRLayer(0);
    ASSERT_NE(layer, nullptr);
    OGRFeature* feature = layer->GetFeature(0);
    ASSERT_NE(feature, nullptr);
    const int transmit = 2;
    EXPECT_TRUE(SetFieldInteger(feature, &transmit, "RAD_TXSTBY"));
    EXPECT_EQ(layer->SetFeature(feature), OGRERR_NONE);
    OGRFeature::DestroyFeature(feature);
  }

  std::filesystem::path folder_;
  CWinApp app_;
  RecordingSink sink_;
  FakeNavigation navigation_{PosType(0.928, 0.092), 5.166};
};

TEST_F(RadarConnection, OpenFailuresShowTheHostsMessageAndConnectNothing) {
  const std::size_t shownBefore = ShownMessages().size();
  // An earlier test of this process may have fixed the geometry already; a failed open must not.
  const bool geometryConfiguredBefore = IsEchoGeometryConfigured();
  for (const auto& [openResult, message] : {std::pair{-5, 41782}, std::pair{3, 41783}}) {
    ConfigureRadar(openResult);
    ModuleDataSorvik data;
    EXPECT_FALSE(data.Init(&navigation_, &sink_, false));
    const std::vector<VelIHMShownMessage> shown = ShownMessages();
    ASSERT_GT(shown.size(), shownBefore);
    EXPECT_EQ(shown.back().code, message);
    EXPECT_EQ(shown.back().modal, 1);
    EXPECT_EQ(shown.back().parameter1, 0);
    EXPECT_EQ(shown.back().parameter2, 0);

    EXPECT_EQ(data.GetDataSource(), nullptr);
    EXPECT_EQ(data.GetOGRLayer(0), nullptr);
    EXPECT_EQ(data.GetRange(), 0.0);
    EXPECT_EQ(data.GetNavigationSource(), &navigation_);
    EXPECT_EQ(IsEchoGeometryConfigured(), geometryConfiguredBefore);
    data.Terminate();
  }
}

TEST_F(RadarConnection, RefreshSendsOneNoticePerBurstOfChangesAndOnlyWithASink) {
  ConfigureRadar(3);  // no radar behind the module: only the test raises changes
  ModuleDataSorvik withoutSink;
  withoutSink.Init(&navigation_, nullptr, false);
  ChangeCallback();
  withoutSink.Refresh();
  EXPECT_FALSE(RadarStateChanged.load()) << "the flag is cleared even when nobody is told";

  ModuleDataSorvik data;
  data.Init(&navigation_, &sink_, false);
  data.Refresh();
  EXPECT_TRUE(sink_.kinds_.empty()) << "no change, no notice";

  ChangeCallback();
  ChangeCallback();
  ChangeCallback();
  data.Refresh();
  data.Refresh();
  ASSERT_EQ(sink_.kinds_.size(), 1u);
  EXPECT_EQ(sink_.kinds_[0], 2);
  // Without a data source the key keeps the item it was built with.
  EXPECT_EQ(sink_.subjects_[0].GetKey(), ModuleLayerKey("RADAR_MODULE", "RADAR_IMO_PROPERTIES"));
  EXPECT_EQ(sink_.subjects_[0].GetValue(), 0);
}

TEST_F(RadarConnection, SweepsFlowFromTheRadarIntoTheStoreUntilTerminate) {
  ModuleDataSorvik data;
  ASSERT_TRUE(data.Init(&navigation_, &sink_, false));
  ASSERT_TRUE(IsEchoGeometryConfigured());
  EXPECT_EQ(GetEchoGeometry().rows, 4096);
  EXPECT_FALSE(data.GetImoMode());
  EXPECT_EQ(data.GetOGRLayerCount(), 0);
  ASSERT_NE(data.GetOGRLayerByName("radar_properties"), nullptr);

  RequestTransmit(data);
  SweepStore& store = TheSweepStore();
  ASSERT_TRUE(WaitFor([&] { return store.GetCursor().revolutions >= 2; }))
      << "revolutions: " << store.GetCursor().revolutions;
  EXPECT_EQ(store.GetDimensions().rows, 4096);
  EXPECT_EQ(store.GetDimensions().rowLength, 464);
  EXPECT_GT(store.GetSweepDistance(), 0.0);
  EXPECT_NE(store.GetLastSweepTick(), 0u);

  // The range answered through the settings feature matches the radar's own answer.
  SorVikRadar* radar = GetSorVikRadar();
  int range = -1;
  int unit = -1;
  ASSERT_EQ(radar->GetCurrentRange(&range, &unit), 0);
  EXPECT_DOUBLE_EQ(data.GetRange(), radar->RangeToDistance(range, unit));
  EXPECT_GT(data.GetRange(), 0.0);

  // The antenna keeps turning, and no faster than the configured rate (600 turns a minute) allows: the
  // count going up by two spans at least one whole turn, a tenth of a second. A loaded machine only makes
  // the turns slower.
  const int turnsBefore = store.GetCursor().revolutions;
  const auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(WaitFor([&] { return store.GetCursor().revolutions >= turnsBefore + 2; }));
  EXPECT_GE(std::chrono::steady_clock::now() - start, 80ms);

  // The range table answers the ring, label and identity queries for the current range.
  float ringInterval = 0.0f;
  int ringCount = 0;
  EXPECT_TRUE(radar->GetRingLayout(range, unit, &ringInterval, &ringCount));
  EXPECT_GT(ringInterval, 0.0f);
  EXPECT_GT(ringCount, 0);
  EXPECT_NEAR(radar->GetRingInterval(range, unit) * ringCount, radar->RangeToDistance(range, unit), 1e-6);
  CString rangeText;
  radar->FormatRange(rangeText, range);
  EXPECT_FALSE(rangeText.IsEmpty());
  const int pulseLabel = radar->GetPulseLabelCode(range, 0, unit, 0);
  EXPECT_TRUE((pulseLabel >= 0 && pulseLabel <= 2) || (pulseLabel >= 10 && pulseLabel <= 14)) << pulseLabel;
  CString maker, name, model, serial, software, hardware;
  GetSorVikService()->GetRadarIdentity(maker, name, model, serial, software, hardware);
  EXPECT_EQ(name, "RADAR");

  // The transmit request changed the radar's state: the host hears of it once, by the layer's name.
  ASSERT_TRUE(WaitFor([] { return RadarStateChanged.load(); }));
  data.Refresh();
  ASSERT_FALSE(sink_.kinds_.empty());
  EXPECT_EQ(sink_.kinds_.front(), 2);
  EXPECT_EQ(sink_.subjects_.front().GetKey(), ModuleLayerKey("RADAR_MODULE", "RADAR_PROPERTIES"));
  EXPECT_EQ(sink_.subjects_.front().GetKey().GetItem(), "RADAR_PROPERTIES");

  data.Terminate();
  EXPECT_EQ(store.GetGeneration(), -1);
  const std::uint32_t tickAfterTerminate = store.GetLastSweepTick();
  std::this_thread::sleep_for(300ms);
  EXPECT_EQ(store.GetLastSweepTick(), tickAfterTerminate) << "a sweep arrived after Terminate";
  EXPECT_EQ(store.GetDimensions().rows, 0);
}

// Connecting and disconnecting again and again while the radar sends: every cycle starts from an empty
// store, and nothing arrives after Terminate (run under the thread sanitizer too).
TEST_F(RadarConnection, RepeatedConnectionsStartCleanAndEndSilent) {
  SweepStore& store = TheSweepStore();
  for (int cycle = 0; cycle < 4; ++cycle) {
    ModuleDataSorvik data;
    ASSERT_TRUE(data.Init(&navigation_, &sink_, false)) << cycle;
    RequestTransmit(data);
    ASSERT_TRUE(WaitFor([&] { return store.GetCursor().revolutions >= 1; })) << cycle;
    data.Refresh();
    EXPECT_GT(data.GetRange(), 0.0);
    data.Terminate();
    EXPECT_EQ(store.GetGeneration(), -1);
    const std::uint32_t tick = store.GetLastSweepTick();
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(store.GetLastSweepTick(), tick) << cycle;
  }
}

TEST_F(RadarConnection, ASecondInitKeepsTheFirstEchoGeometry) {
  ModuleDataSorvik first;
  ASSERT_TRUE(first.Init(&navigation_, &sink_, false));
  first.Terminate();

  ModuleDataSorvik data;
  ASSERT_TRUE(data.Init(&navigation_, &sink_, true));
  EXPECT_TRUE(data.GetImoMode());
  EXPECT_EQ(GetEchoGeometry().rows, 4096);
  EXPECT_EQ(GetEchoGeometry().validSamples, 464);
  ASSERT_NE(data.GetOGRLayerByName("RADAR_IMO_PROPERTIES"), nullptr);
  EXPECT_EQ(data.GetOGRLayerByName("RADAR_PROPERTIES"), nullptr);
  data.Terminate();
}

TEST_F(RadarConnection, InitOpensTheRadarInTheImoModeItIsGiven) {
  ModuleDataSorvik data;
  ASSERT_TRUE(data.Init(&navigation_, &sink_, true));
  RequestTransmit(data);
  // Only a radar opened in the type-approved mode sends its 884 samples per sweep.
  SweepStore& store = TheSweepStore();
  ASSERT_TRUE(WaitFor([&] { return store.GetDimensions().rowLength != 0; }));
  EXPECT_EQ(store.GetDimensions().rowLength, 884);
  data.Terminate();
}

// A change callback of the test's own, registered after the module's: once the radar has called it, it
// has called every change callback registered then.
std::atomic<int> changesSeen{0};
void CountChange() { ++changesSeen; }

TEST_F(RadarConnection, TerminateRemovesTheChangeCallback) {
  ModuleDataSorvik data;
  ASSERT_TRUE(data.Init(&navigation_, &sink_, false));
  data.Terminate();
  RadarStateChanged = false;
  changesSeen = 0;
  ASSERT_EQ(GetSorVikRadar()->AddChangeCallback(CountChange), 0);
  RequestTransmit(data);
  EXPECT_TRUE(WaitFor([] { return changesSeen.load() > 0; }));
  EXPECT_FALSE(RadarStateChanged.load());
  GetSorVikRadar()->RemoveChangeCallback(CountChange);
}


std::optional<int> RangeField(OGRLayer* layer) {
  OGRFeature* feature = layer->GetFeature(0);
  int range = 0;
  const bool readable = GetFieldInteger(feature, &range, "RAD_RANGE");
  OGRFeature::DestroyFeature(feature);
  return readable ? std::optional<int>(range) : std::nullopt;
}

TEST(RadarRefresh, ASinkReadingTheFeatureInsideTheNoticeGetsTheNewState) {
  FakeRadar radar;
  RecordingSink sink;
  const std::unique_ptr<ModuleDataSorvik> data = TestDataModule(nullptr, radar.Accessor(), false, &sink);
  OGRLayer* layer = data->GetOGRLayer(0);
  ASSERT_EQ(RangeField(layer), 6);  // read once: the layer holds the state until told it changed
  radar.range_ = 9;
  std::optional<int> rangeInNotice;
  sink.onNotice_ = [&] { rangeInNotice = RangeField(layer); };
  ChangeCallback();
  data->Refresh();
  ASSERT_EQ(sink.kinds_.size(), 1u);
  EXPECT_EQ(sink.subjects_[0].GetKey(), ModuleLayerKey("RADAR_MODULE", "RADAR_PROPERTIES"));
  EXPECT_EQ(rangeInNotice, 9);
}

TEST(RadarRange, IsZeroWhenARangeFieldCannotBeRead) {
  for (const char* unreadable : {"RAD_RANGE", "RAD_RANGE_UNIT"}) {
    FakeRadar radar;
    radar.unsetField_ = unreadable;
    const std::unique_ptr<ModuleDataSorvik> data = TestDataModule(nullptr, radar.Accessor());
    // Read as it stands (range 0 or unit 0), the field would still name a range of the radar's table.
    EXPECT_EQ(data->GetRange(), 0.0) << unreadable;
  }
}

}  // namespace
