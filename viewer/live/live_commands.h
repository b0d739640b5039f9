#pragma once
// What a browser asks of the host: the edits the server hands to the host's thread, each naming only
// what it changes.
#include <optional>
#include <variant>

#include "viewer/view_options.h"

// Radar settings, as a property panel changes them; unset ones stay as they are.
struct RadarEdit {
  std::optional<bool> transmit{};
  std::optional<int> rangeIndex{};
  std::optional<int> rangeStep{};  // 1 or -1: the next range of the radar's table up or down
  std::optional<int> echoColour{};
  std::optional<int> trailColour{};
  std::optional<int> trailTime{};
  std::optional<bool> realTime{};
  std::optional<double> shiftBearingDegrees{};
  std::optional<double> shiftDistanceMiles{};
};

// One view's layers and light mode; unset ones stay as they are.
struct ViewEdit {
  int viewId = 0;
  std::optional<bool> echo;
  std::optional<bool> trails;
  std::optional<bool> rings;
  std::optional<LightMode> mode;
};

struct AddView {};

struct CloseView {
  int viewId = 0;
};

using LiveCommand = std::variant<RadarEdit, ViewEdit, AddView, CloseView>;

// The radar's range table holds this many ranges in each unit, indices from 0.
inline constexpr int kRangeIndexCount = 11;
// View ids go in one byte of a frame message, 0 unused.
inline constexpr int kMaxViewId = 255;
