#include "display/echo_rows.h"

#include <vector>

#include "display/echo_colour.h"
#include "display/echo_geometry.h"
#include "display/echo_texture_set.h"

std::optional<EchoRowRun> EchoRowsToRewrite(int rows, const SweepCursor& seen, const SweepCursor& now,
                                            bool realTime) {
  if (rows <= 0) return std::nullopt;
  const int unitsPerRow = EchoGeometry::kAngleUnits / rows;
  if (unitsPerRow <= 0) return std::nullopt;
  const long long turns = static_cast<long long>(now.revolutions) - seen.revolutions;
  if (!realTime) {
    if (turns > 0) return EchoRowRun{0, rows};
    return std::nullopt;
  }
  const long long first = seen.angle / unitsPerRow;
  const long long end = rows * turns + now.angle / unitsPerRow;
  if (end - first >= rows) return EchoRowRun{0, rows};
  if (end <= first) return std::nullopt;
  return EchoRowRun{static_cast<int>(first), static_cast<int>(end)};
}

void UpdateEchoRows(int trailIndex, int echoIndex, EchoRowRun run, const SweepStore& store,
                    EchoTextureSet* textures) {
  if (textures == nullptr) return;
  const SweepDimensions dimensions = store.GetDimensions();
  if (dimensions.rows <= 0 || dimensions.rowLength <= 0) return;
  const std::int32_t trailColour = EchoColourTable(trailIndex);
  const std::int32_t echoColour = EchoColourTable(echoIndex);

  // The texel of every level, worked out once per update rather than once per sample.
  const EchoTexelTable table = MakeEchoTexelTable(trailColour, echoColour);
  std::vector<std::uint8_t> samples(static_cast<std::size_t>(dimensions.rowLength));
  for (int a = run.first; a < run.end; ++a) {
    const int row = a % dimensions.rows;
    if (store.ReadRow(row, samples)) textures->WriteRow(row, samples, table);
  }
  textures->FinishWriting();
}

void ClearEchoImage(SweepStore& store, EchoTextureSet& textures) {
  for (int row = 0; row < textures.Geometry().rows; ++row) textures.ClearRow(row);
  textures.FinishWriting();
  store.Clear();
}
