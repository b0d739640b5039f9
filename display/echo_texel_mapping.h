#pragma once
// Turning a row of sample levels into a line of echo texels, in either texel format of the echo
// textures. This runs for every sample of every rewritten row, so it works on sixteen samples at a time
// where the processor allows.
#include <array>
#include <cstdint>
#include <span>

// The A8R8G8B8 texel of each level 0 to 15; stronger levels look like level 15.
using EchoTexelTable = std::array<std::uint32_t, 16>;

// The table for the colours of the settings (see MapEchoLevel).
EchoTexelTable MakeEchoTexelTable(std::int32_t trailColour, std::int32_t echoColour);

// Writes the texels of `samples` to `line`, 4 bytes (in memory blue, green, red, alpha) per sample.
void MapToA8R8G8B8(std::span<const std::uint8_t> samples, const EchoTexelTable& table, std::uint8_t* line);
// Writes them as A4R4G4B4, 2 bytes per sample (the high nibble of each channel).
void MapToA4R4G4B4(std::span<const std::uint8_t> samples, const EchoTexelTable& table, std::uint8_t* line);
