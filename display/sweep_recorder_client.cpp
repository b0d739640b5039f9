#include "display/sweep_recorder_client.h"

void SweepRecorderClient::Poll() {
  // One snapshot, so that the dimensions announced belong to the generation remembered.
  const SweepStoreState state = store_.GetState();
  if (state.generation != seenGeneration_) {
    seenGeneration_ = state.generation;
    OnStoreResized(state.dimensions.rows, state.dimensions.rowLength);
  }
  if (state.cursor.revolutions == seenCursor_.revolutions && state.cursor.angle == seenCursor_.angle) return;
  polledCursor_ = state.cursor;
  if (OnNewSweeps()) seenCursor_ = polledCursor_;
}
