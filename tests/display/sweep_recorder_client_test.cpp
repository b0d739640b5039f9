#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

#include "display/echo_geometry.h"
#include "display/sweep_recorder_client.h"
#include "display/sweep_store.h"

namespace {

// Records what Poll tells it; takes new sweeps in when `accept` says so.
class RecordingClient : public SweepRecorderClient {
public:
  using SweepRecorderClient::SweepRecorderClient;
  void OnStoreResized(int rows, int rowLength) override { resized.push_back({rows, rowLength}); }
  bool OnNewSweeps() override {
    ++newSweeps;
    offeredFrom = seenCursor;
    offeredTo = polledCursor;
    return accept;
  }
  std::vector<SweepDimensions> resized;
  int newSweeps = 0;
  bool accept = true;
  SweepCursor offeredFrom;
  SweepCursor offeredTo;
};

class SweepRecorderClientTest : public ::testing::Test {
protected:
  void SetUp() override {
    ResetEchoGeometryForTesting();
    ConfigureEchoGeometry(false);
  }
  void TearDown() override { ResetEchoGeometryForTesting(); }
  // A sweep whose 512 samples all hold `level`.
  void Add(int angle, int heading = 0, std::uint8_t level = 1) {
    samples.assign(samples.size(), level);
    const SweepRecord record{kSweepKindSamples, 0, samples.data(), 512, 512,
                             static_cast<std::uint16_t>(angle), static_cast<std::int16_t>(heading)};
    store.AddSweep(&record, nullptr);
  }

  std::vector<std::uint8_t> samples = std::vector<std::uint8_t>(512);
  SweepStore store;
  RecordingClient client{store};
};

TEST_F(SweepRecorderClientTest, AnnouncesEachAllocationOnce) {
  client.Poll();  // even the empty store's generation is news to a new client
  Add(0);
  client.Poll();
  client.Poll();
  store.Reset();
  client.Poll();
  ASSERT_EQ(client.resized.size(), 3u);
  EXPECT_EQ(client.resized[0].rows, 0);
  EXPECT_EQ(client.resized[1].rows, 4096);
  EXPECT_EQ(client.resized[1].rowLength, 512);
}

TEST_F(SweepRecorderClientTest, OffersNewSweepsUntilTakenIn) {
  client.accept = false;
  client.Poll();  // a client that never took sweeps in is behind even an empty store
  client.Poll();  // refused, so offered again
  EXPECT_EQ(client.newSweeps, 2);

  client.accept = true;
  Add(10, 7);
  client.Poll();
  EXPECT_EQ(client.newSweeps, 3);
  EXPECT_EQ(client.offeredFrom.revolutions, -1);
  EXPECT_EQ(client.offeredTo.heading, 7);

  client.Poll();  // nothing new
  Add(10, 9);     // only the heading moved
  client.Poll();
  Add(2);  // a new turn at a smaller angle
  client.Poll();
  EXPECT_EQ(client.newSweeps, 4);
  EXPECT_EQ(client.offeredFrom.angle, 10);
  EXPECT_EQ(client.offeredTo.revolutions, 1);
}

// The radar's thread adds sweeps while the display's thread polls and reads rows. Each sweep fills its
// row with one level, so a row read while being written would show two.
TEST_F(SweepRecorderClientTest, ReadersNeverSeeAHalfWrittenRow) {
  constexpr int kTurns = 3;
  constexpr int kStep = 16;
  std::atomic<bool> done{false};
  std::thread radar([&] {
    for (int turn = 0; turn < kTurns; ++turn)
      for (int angle = 0; angle < EchoGeometry::kAngleUnits; angle += kStep)
        Add(angle, 0, static_cast<std::uint8_t>(1 + (angle / kStep + turn) % 200));
    done = true;
  });
  std::vector<std::uint8_t> row(512);
  int tornRows = 0;
  for (int polls = 0; !done || polls == 0; ++polls) {
    client.Poll();
    if (!store.ReadRow(polls * 8 % 4096, row)) continue;
    for (int i = 0; i < 460; ++i) {
      if (row[i] != row[0]) {
        ++tornRows;
        break;
      }
    }
  }
  radar.join();
  client.Poll();
  EXPECT_EQ(tornRows, 0);
  EXPECT_EQ(store.GetCursor().revolutions, kTurns - 1);
  EXPECT_EQ(client.offeredTo.angle, EchoGeometry::kAngleUnits - kStep);
}

}  // namespace
