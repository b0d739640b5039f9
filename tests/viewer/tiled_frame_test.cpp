// Frames cut into tiles: only the tiles that changed are encoded, and a browser applying the messages it
// gets holds exactly each frame's pixels, whichever frames it missed.
#include "viewer/live/tiled_frame.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "support/frame_message_canvas.h"

namespace {

struct Box {
  int left, top, width, height;
};

// A browser that holds the frame of serial `held` and is sent what changed since.
struct Browser {
  std::uint64_t held = 0;
  FrameMessageCanvas canvas;

  void Take(const EncodedFrame& frame) {
    ASSERT_TRUE(canvas.Apply(FrameMessage(4, frame, held)));
    held = frame.serial;
  }
};

TEST(TiledFrame, OnlyChangedTilesAreEncodedAndEveryBrowserEndsWithTheFrame) {
  struct Step {
    int width, height;
    Box change;
    int tilesEncoded;
  };
  constexpr int T = kTileSize;
  constexpr int W = 2 * T + 44, H = T + 12;  // three by two tiles, the last column and row cut short
  const Step steps[] = {
      {W, H, {0, 0, 0, 0}, 6},               // the first frame: every tile
      {W, H, {0, 0, 0, 0}, 0},               // nothing changed
      {W, H, {W - 1, H - 1, 1, 1}, 1},       // the corner pixel of the last, short tile
      {W, H, {T - 8, 0, 20, 10}, 2},         // across the border of two tiles
      {W, H, {0, T - 1, W, 2}, 6},           // across a whole row of tile borders
      {2 * T, T, {0, 0, 0, 0}, 2},           // a new size: every tile again
  };
  TiledFrameEncoder encoder;
  Browser keepsUp, missesEveryOther;
  std::vector<std::uint32_t> pixels;
  int width = 0;
  for (std::size_t i = 0; i < std::size(steps); ++i) {
    const Step& step = steps[i];
    SCOPED_TRACE("step " + std::to_string(i));
    if (step.width != width) {
      width = step.width;
      pixels.resize(std::size_t(step.width) * step.height);
      for (std::size_t p = 0; p < pixels.size(); ++p) pixels[p] = 0xFF000000u | (p * 2654435761u >> 8);
    }
    for (int y = step.change.top; y < step.change.top + step.change.height; ++y)
      for (int x = step.change.left; x < step.change.left + step.change.width; ++x)
        pixels[std::size_t(y) * step.width + x] ^= 0x00FFFFFFu;
    auto frame = std::make_shared<RawFrame>();
    frame->number = static_cast<std::uint32_t>(100 + i);
    frame->width = step.width;
    frame->height = step.height;
    frame->pixels = pixels;

    const std::shared_ptr<const EncodedFrame> encoded = encoder.Encode(frame, i + 1);
    ASSERT_NE(encoded, nullptr);
    EXPECT_EQ(encoder.TilesEncoded(), step.tilesEncoded);
    keepsUp.Take(*encoded);
    EXPECT_EQ(keepsUp.canvas.tilesDrawn, step.tilesEncoded) << "a browser that keeps up gets the changed tiles";
    EXPECT_EQ(keepsUp.canvas.number, frame->number);
    EXPECT_EQ(keepsUp.canvas.pixels, pixels);
    if (i % 2 == 1) {
      missesEveryOther.Take(*encoded);
      EXPECT_EQ(missesEveryOther.canvas.pixels, pixels) << "the tiles changed in the frames it missed came too";
    }
  }
  Browser joinsLate;
  joinsLate.Take(*encoder.Encode(std::make_shared<RawFrame>(RawFrame{7, 2 * kTileSize, kTileSize, pixels}), 99));
  EXPECT_EQ(joinsLate.canvas.tilesDrawn, 2);
  EXPECT_EQ(joinsLate.canvas.pixels, pixels);
}

}  // namespace
