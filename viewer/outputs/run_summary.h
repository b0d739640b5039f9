#pragma once
// What the run tells its user: a progress line while it runs, a summary at its end.
#include <string>
#include <vector>

#include "host/pos_type.h"

struct RunFigures {
  double elapsedSeconds = 0.0;
  double plannedSeconds = 0.0;
  long long sweeps = -1;  // -1: not counted
  long long turns = -1;
  std::vector<int> repaints;  // per view
  int rounds = 0;
  // Rounds that started later than one poll period after their time: the host lost its pace.
  int lateRounds = 0;
  int transmitState = -1;
  double rangeMiles = 0.0;
  std::string spokeStream;  // where a recorded or received radar's spokes came from; empty: simulated
  long long lostSpokes = -1;
  PosType ownShip;
  std::string radarFeature;
};

// Processor seconds (user and system) this process has used so far.
double ProcessCpuSeconds();

std::string ProgressLine(const RunFigures& figures);
// Several lines, each "name: value".
std::string SummaryText(const RunFigures& figures, double cpuSeconds);
