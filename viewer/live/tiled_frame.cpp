#include "viewer/live/tiled_frame.h"

#include <algorithm>
#include <cstring>

namespace {

void AppendWord(std::string& out, std::uint32_t word) {
  for (const int shift : {24, 16, 8, 0}) out.push_back(static_cast<char>(word >> shift & 0xFF));
}

bool SameTile(const RawFrame& a, const RawFrame& b, int left, int top, int width, int height) {
  for (int y = top; y < top + height; ++y) {
    const std::size_t start = static_cast<std::size_t>(y) * a.width + left;
    if (std::memcmp(&a.pixels[start], &b.pixels[start], std::size_t(width) * 4) != 0) return false;
  }
  return true;
}

}  // namespace

std::shared_ptr<const EncodedFrame> TiledFrameEncoder::Encode(std::shared_ptr<const RawFrame> frame,
                                                              std::uint64_t serial) {
  tilesEncoded_ = 0;
  const bool sameSize =
      previous_ && encoded_ && previous_->width == frame->width && previous_->height == frame->height;
  auto encoded = std::make_shared<EncodedFrame>();
  encoded->number = frame->number;
  encoded->serial = serial;
  encoded->width = frame->width;
  encoded->height = frame->height;
  std::size_t index = 0;
  for (int top = 0; top < frame->height; top += kTileSize) {
    for (int left = 0; left < frame->width; left += kTileSize, ++index) {
      const int width = std::min(kTileSize, frame->width - left);
      const int height = std::min(kTileSize, frame->height - top);
      if (sameSize && SameTile(*previous_, *frame, left, top, width, height)) {
        encoded->tiles.push_back(encoded_->tiles[index]);
        continue;
      }
      auto tile = std::make_shared<EncodedTile>();
      tile->serial = serial;
      AppendWord(tile->bytes, static_cast<std::uint32_t>(left));
      AppendWord(tile->bytes, static_cast<std::uint32_t>(top));
      AppendWord(tile->bytes, 0);  // the length, known once encoded
      const std::uint32_t* origin = &frame->pixels[static_cast<std::size_t>(top) * frame->width + left];
      if (!tileEncoder_.Append(origin, width, height, frame->width, tile->bytes)) return nullptr;
      const auto length = static_cast<std::uint32_t>(tile->bytes.size() - kTileHeaderBytes);
      for (int i = 0; i < 4; ++i) tile->bytes[8 + i] = static_cast<char>(length >> (24 - 8 * i) & 0xFF);
      encoded->tiles.push_back(std::move(tile));
      ++tilesEncoded_;
    }
  }
  previous_ = std::move(frame);
  encoded_ = encoded;
  return encoded;
}

std::string FrameMessage(int viewId, const EncodedFrame& frame, std::uint64_t since) {
  std::size_t size = kFrameHeaderBytes;
  std::uint32_t count = 0;
  for (const auto& tile : frame.tiles) {
    if (tile->serial <= since) continue;
    size += tile->bytes.size();
    ++count;
  }
  std::string message;
  message.reserve(size);
  message.push_back(static_cast<char>(viewId));
  for (const std::uint32_t word : {frame.number, static_cast<std::uint32_t>(frame.width),
                                   static_cast<std::uint32_t>(frame.height), count})
    AppendWord(message, word);
  for (const auto& tile : frame.tiles)
    if (tile->serial > since) message += tile->bytes;
  return message;
}
