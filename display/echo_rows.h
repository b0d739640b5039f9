#pragma once
// Turning stored sweep rows into echo texels: which rows a display rewrites when sweeps arrive, the
// rewrite itself, and the blanking of the whole picture.
#include <optional>

#include "display/sweep_store.h"

class EchoTextureSet;

// A run of sweep rows, first up to (not including) end; rows past the last wrap to row 0.
struct EchoRowRun {
  int first = 0;
  int end = 0;
};

// The rows to rewrite when the store's cursor moved from `seen` to `now` in a store of `rows` rows. In
// real time the rows swept since `seen`, or all rows after a missed turn (or when nothing was seen
// yet); otherwise all rows once a turn completed, and none before.
std::optional<EchoRowRun> EchoRowsToRewrite(int rows, const SweepCursor& seen, const SweepCursor& now, bool realTime);

// Rewrites rows `run` of `store` into `textures` with the colours of the settings' colour indexes
// (a trail index without a colour, -1 or any other outside 0 to 2, hides trail levels). Nothing without
// textures.
void UpdateEchoRows(int trailIndex, int echoIndex, EchoRowRun run, const SweepStore& store,
                    EchoTextureSet* textures);

// Makes every row of `textures` transparent and zeroes the rows of `store`.
void ClearEchoImage(SweepStore& store, EchoTextureSet& textures);
