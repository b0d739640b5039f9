#pragma once
// What the page shows beside the pictures: the radar's state as its feature gives it, the own ship, and
// the views. Filled on the host's thread, read by the server.
#include <optional>
#include <string>
#include <vector>

#include "viewer/view_options.h"

struct LiveRadarState {
  bool transmitting = false;
  std::string state = "unknown";  // "transmit", "standby", "warming up", "off", "not available", "unknown"
  std::optional<int> warmupSeconds;
  std::string range;  // as the range label writes it, with its unit
  int rangeIndex = -1;
  int echoColour = -1;
  int trailColour = -1;
  int trailTime = -1;
  bool realTime = false;
  double shiftBearingDegrees = 0.0;
  double shiftDistanceMiles = 0.0;
  bool operator==(const LiveRadarState&) const = default;
};

struct LiveOwnShip {
  std::optional<double> latitudeDegrees;
  std::optional<double> longitudeDegrees;
  std::optional<double> headingDegrees;
  bool operator==(const LiveOwnShip&) const = default;
};

struct LiveViewState {
  int id = 0;
  bool echo = true;
  bool trails = true;
  bool rings = true;
  LightMode mode = LightMode::kDay;
  int width = 0;
  int height = 0;
  bool operator==(const LiveViewState&) const = default;
};

struct LiveState {
  LiveRadarState radar;
  LiveOwnShip ownShip;
  std::vector<LiveViewState> views;
  std::optional<std::string> refused;
  bool operator==(const LiveState&) const = default;
};

// The state as the page reads it; `frames[i]` is the latest frame number of `state.views[i]`.
std::string StateJsonWithFrames(const LiveState& state, const std::vector<long long>& frames);

const char* LightModeName(LightMode mode);
