#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

#include "viewer/live/control_queue.h"
#include "support/frame_message_canvas.h"
#include "viewer/live/frame_hub.h"

namespace {

// A view's pixels in which every pixel differs, with alpha below opaque, as a view may hold them.
struct Pixels {
  Pixels(int width, int height, std::uint32_t seed) : values(std::size_t(width) * height) {
    for (std::size_t i = 0; i < values.size(); ++i) values[i] = (seed * 2654435761u + i * 40503u) & 0x7FFFFFFFu;
    surface.pixels = reinterpret_cast<DWORD*>(values.data());
    surface.width = static_cast<UINT>(width);
    surface.height = static_cast<UINT>(height);
    surface.pitch = static_cast<UINT>(width) * 4;
  }
  std::vector<std::uint32_t> values;
  ViewSurface surface;
};

TEST(ControlQueue, RefusesWhenFullAndHandsOverInOrder) {
  ControlQueue queue(3);
  EXPECT_TRUE(queue.TryPush(CloseView{1}));
  EXPECT_TRUE(queue.TryPush(CloseView{2}));
  EXPECT_TRUE(queue.TryPush(CloseView{3}));
  EXPECT_FALSE(queue.TryPush(CloseView{4}));
  const std::vector<LiveCommand> taken = queue.TakeAll();
  ASSERT_EQ(taken.size(), 3u);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(std::get<CloseView>(taken[i]).viewId, i + 1);
  EXPECT_TRUE(queue.TryPush(AddView{})) << "taking the commands frees the queue";
  EXPECT_EQ(queue.TakeAll().size(), 1u);
}

TEST(FrameHub, TheLatestFrameWinsAndIsMadeOpaque) {
  FrameHub hub;
  for (std::uint32_t number = 1; number <= 3; ++number) {
    const Pixels pixels(4, 3, number);
    hub.Publish(1, number, pixels.surface);
  }
  const auto latest = hub.LatestRaw(1);
  ASSERT_NE(latest, nullptr);
  EXPECT_EQ(latest->number, 3u);
  const Pixels third(4, 3, 3);
  for (std::size_t i = 0; i < third.values.size(); ++i) EXPECT_EQ(latest->pixels[i], third.values[i] | 0xFF000000u);
  EXPECT_EQ(hub.LatestRaw(2), nullptr);
}

// A frame someone still reads (a PNG answer being encoded) is never written over by later frames.
TEST(FrameHub, AFrameHeldByAReaderStaysAsItWas) {
  FrameHub hub;
  const Pixels first(5, 4, 1);
  hub.Publish(1, 1, first.surface);
  const std::shared_ptr<const RawFrame> held = hub.LatestRaw(1);
  const std::vector<std::uint32_t> before = held->pixels;
  for (std::uint32_t number = 2; number <= 5; ++number) hub.Publish(1, number, Pixels(5, 4, number).surface);
  EXPECT_EQ(held->number, 1u);
  EXPECT_EQ(held->pixels, before);
  EXPECT_EQ(hub.LatestRaw(1)->number, 5u);
}

// Frames are encoded only while someone watches, and decode to exactly the published pixels.
TEST(FrameHub, EncodesTheLatestFrameLosslesslyWhileWatched) {
  FrameHub hub;
  hub.Start();
  const Pixels pixels(33, 17, 7);
  hub.Publish(9, 41, pixels.surface);
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(hub.LatestEncoded(9), nullptr) << "nobody watches";
  hub.AddWatcher();
  std::shared_ptr<const EncodedFrame> encoded;
  for (int wait = 0; wait < 500 && !encoded; ++wait) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    encoded = hub.LatestEncoded(9);
  }
  ASSERT_NE(encoded, nullptr);
  const std::string message = FrameMessage(9, *encoded, 0);
  EXPECT_EQ(message.substr(0, 5), std::string("\x09\0\0\0\x29", 5)) << "view 9, frame 41, big-endian";
  FrameMessageCanvas canvas;
  ASSERT_TRUE(canvas.Apply(message));
  ASSERT_EQ(canvas.width, 33);
  ASSERT_EQ(canvas.height, 17);
  for (std::size_t i = 0; i < canvas.pixels.size(); ++i)
    ASSERT_EQ(canvas.pixels[i], pixels.values[i] | 0xFF000000u) << i;
  hub.RemoveWatcher();
  hub.Stop();
}

TEST(FrameHub, StateChangesAreCountedOnceAndCarryFrameNumbers) {
  FrameHub hub;
  LiveState state;
  state.views.push_back({.id = 2, .width = 4, .height = 3});
  hub.PublishState(state);
  const std::uint64_t first = hub.StateVersion();
  hub.PublishState(state);
  EXPECT_EQ(hub.StateVersion(), first) << "the same state again is no change";
  hub.Publish(2, 17, Pixels(4, 3, 1).surface);
  EXPECT_EQ(hub.StateVersion(), first) << "a frame is no change of state";
  EXPECT_NE(hub.StateJson().find(R"("frame":17)"), std::string::npos) << hub.StateJson();
  EXPECT_EQ(hub.ViewIds(), std::vector<int>{2});
  state.refused = "the radar refused range index 10";
  hub.PublishState(state);
  EXPECT_GT(hub.StateVersion(), first);
}

}  // namespace
