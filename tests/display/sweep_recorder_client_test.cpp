#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <optional>
#include <thread>
#include <vector>

#include "display/echo_geometry.h"
#include "display/sweep_recorder_client.h"
#include "display/sweep_store.h"

namespace {

// Records what Poll tells it; takes new sweeps in when `accept_` says so.
class RecordingClient : public SweepRecorderClient {
public:
  using SweepRecorderClient::SweepRecorderClient;
  void OnStoreResized(int rows, int rowLength) override { resized_.push_back({rows, rowLength}); }
  bool OnNewSweeps() override {
    ++newSweeps_;
    offeredFrom_ = seenCursor_;
    offeredTo_ = polledCursor_;
    return accept_;
  }
  std::vector<SweepDimensions> resized_;
  int newSweeps_ = 0;
  bool accept_ = true;
  SweepCursor offeredFrom_;
  SweepCursor offeredTo_;
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
    samples_.assign(samples_.size(), level);
    const SweepRecord record{kSweepKindSamples, 0, samples_.data(), 512, 512,
                             static_cast<std::uint16_t>(angle), static_cast<std::int16_t>(heading)};
    store_.AddSweep(&record, std::nullopt);
  }

  std::vector<std::uint8_t> samples_ = std::vector<std::uint8_t>(512);
  SweepStore store_;
  RecordingClient client_{store_};
};

TEST_F(SweepRecorderClientTest, AnnouncesEachAllocationOnce) {
  client_.Poll();  // even the empty store's generation is news to a new client
  Add(0);
  client_.Poll();
  client_.Poll();
  store_.Reset();
  client_.Poll();
  ASSERT_EQ(client_.resized_.size(), 3u);
  EXPECT_EQ(client_.resized_[0].rows, 0);
  EXPECT_EQ(client_.resized_[1].rows, 4096);
  EXPECT_EQ(client_.resized_[1].rowLength, 512);
}

TEST_F(SweepRecorderClientTest, OffersNewSweepsUntilTakenIn) {
  client_.accept_ = false;
  client_.Poll();  // a client that never took sweeps in is behind even an empty store
  client_.Poll();  // refused, so offered again
  EXPECT_EQ(client_.newSweeps_, 2);

  client_.accept_ = true;
  Add(10, 7);
  client_.Poll();
  EXPECT_EQ(client_.newSweeps_, 3);
  EXPECT_EQ(client_.offeredFrom_.revolutions, -1);
  EXPECT_EQ(client_.offeredTo_.heading, 7);

  client_.Poll();  // nothing new
  Add(10, 9);      // only the heading moved
  client_.Poll();
  Add(2);  // a new turn at a smaller angle
  client_.Poll();
  EXPECT_EQ(client_.newSweeps_, 4);
  EXPECT_EQ(client_.offeredFrom_.angle, 10);
  EXPECT_EQ(client_.offeredTo_.revolutions, 1);
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
    client_.Poll();
    if (!store_.ReadRow(polls * 8 % 4096, row)) continue;
    for (int i = 0; i < 460; ++i) {
      if (row[i] != row[0]) {
        ++tornRows;
        break;
      }
    }
  }
  radar.join();
  client_.Poll();
  EXPECT_EQ(tornRows, 0);
  EXPECT_EQ(store_.GetCursor().revolutions, kTurns - 1);
  EXPECT_EQ(client_.offeredTo_.angle, EchoGeometry::kAngleUnits - kStep);
}

}  // namespace
