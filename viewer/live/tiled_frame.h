#pragma once
// Frames as they travel to the page: the view cut into square tiles, each a PNG image, and a
// browser sent only the tiles that changed since the frame it last got. Between two frames of a radar
// view the chart, the rings and the empty sea stay as they were while the sweep, the fading sectors and
// the labels change: encoding the changed tiles alone costs a fraction of a whole frame in time and bytes,
// and every browser still ends with exactly the view's pixels.
//
// A message: byte 0 the view, then big-endian 32-bit words: the frame number, the width, the height, the
// count of tiles; then each tile: its left and top pixel, the length of its PNG image, the image.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "viewer/live/png_tile.h"
#include "viewer/live/raw_frame.h"

// Small enough that a tile holds little more than what changed in it and mostly fits a palette, large
// enough that the images' own overhead stays small (measured on the real recording: 64 encodes in 80%
// of the time of 128, at 70% of the bytes).
inline constexpr int kTileSize = 64;
inline constexpr std::size_t kFrameHeaderBytes = 17;
inline constexpr std::size_t kTileHeaderBytes = 12;

struct EncodedTile {
  std::uint64_t serial = 0;  // of the frame in which the tile last changed
  std::string bytes;         // the tile as a message carries it: left, top, length, PNG image
};

struct EncodedFrame {
  std::uint32_t number = 0;  // the host's
  std::uint64_t serial = 0;  // the hub's: grows with every frame it encodes, of any view
  int width = 0;
  int height = 0;
  std::vector<std::shared_ptr<const EncodedTile>> tiles;  // row after row of tiles
};

// One view's frames, each encoded against the one before.
class TiledFrameEncoder {
public:
  // Encodes the tiles of `frame` that differ from the last frame encoded (all of them at the first frame
  // or a new size) and marks them with `serial`; the other tiles stay the last frame's. Null when a tile
  // cannot be encoded (out of memory): the last frame then stays the one the next is compared with.
  std::shared_ptr<const EncodedFrame> Encode(std::shared_ptr<const RawFrame> frame, std::uint64_t serial);
  // How many tiles the last call encoded.
  int TilesEncoded() const { return tilesEncoded_; }

private:
  PngTileEncoder tileEncoder_;
  std::shared_ptr<const RawFrame> previous_;
  std::shared_ptr<const EncodedFrame> encoded_;
  int tilesEncoded_ = 0;
};

// The message for a browser that holds the view's frame `since` (a serial; 0 when it holds none): the
// tiles changed after it.
std::string FrameMessage(int viewId, const EncodedFrame& frame, std::uint64_t since);
