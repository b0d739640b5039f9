#include "display/sweep_recorder_client.h"

void SweepRecorderClient::Poll() {
  // One snapshot, so that the dimensions announced belong to the generation remembered.
  const SweepStoreState state = store_.GetState();
  if (state.generation != seenGeneration) {
    seenGeneration = state.generation;
    OnStoreResized(state.dimensions.rows, state.dimensions.rowLength);
  }
  if (state.cursor.revolutions == seenCursor.revolutions && state.cursor.angle == seenCursor.angle) return;
  polledCursor = state.cursor;
  if (OnNewSweeps()) seenCursor = polledCursor;
}
