#pragma once
// Tiles of a view as PNG images, the form they travel to the page in, made for speed first: a live view
// encodes the changed part of every frame, ten to thirty times a second. A tile of at most 256 colours
// (most tiles of a radar picture: the sea, the chart's few colours, the echo's levels and fades) goes as
// palette indices, any other as RGB lines each pixel less its left neighbour; both compressed with runs
// only (zlib's RLE strategy), which a chart and a radar picture repeat along their lines far more often
// than longer strings. Browsers decode either kind natively and exactly.
#include <cstdint>
#include <string>
#include <vector>

class PngTileEncoder {
public:
  // Appends to `out` the `width` × `height` pixels (0xAARRGGBB, the alpha dropped; lines `stride` pixels
  // apart) as a PNG image. The pixels are only read. False when the encoder fails (out of memory); `out`
  // is then as it was.
  bool Append(const std::uint32_t* pixels, int width, int height, int stride, std::string& out);

private:
  // Whether the tile has at most 256 colours; if so `palette_` holds them and `indices_` each pixel's.
  bool IndexColours(const std::uint32_t* pixels, int width, int height, int stride);
  bool Write(const std::uint32_t* pixels, int width, int height, int stride, bool indexed, std::string& out);

  static constexpr int kSlots = 1024;  // four times the most colours a palette holds, for short probes
  std::uint32_t slotColours_[kSlots] = {};  // with the alpha set: 0 marks an empty slot
  std::uint8_t slotIndices_[kSlots] = {};
  std::vector<std::uint32_t> palette_;
  std::vector<std::uint8_t> indices_;
};
