#include <nlohmann/json.hpp>

#include <cmath>

#include "viewer/live/live_state.h"

namespace {

template <typename Value>
nlohmann::json OrNull(const std::optional<Value>& value) {
  return value ? nlohmann::json(*value) : nlohmann::json(nullptr);
}

// JSON has no NaN or infinity: such a value goes out as null.
nlohmann::json Number(double value) { return std::isfinite(value) ? nlohmann::json(value) : nlohmann::json(nullptr); }

nlohmann::json Number(const std::optional<double>& value) { return value ? Number(*value) : nlohmann::json(nullptr); }

}  // namespace

const char* LightModeName(LightMode mode) {
  switch (mode) {
    case LightMode::kDusk: return "dusk";
    case LightMode::kNight: return "night";
    case LightMode::kDay: break;
  }
  return "day";
}

std::string StateJsonWithFrames(const LiveState& state, const std::vector<long long>& frames) {
  const LiveRadarState& radar = state.radar;
  nlohmann::json views = nlohmann::json::array();
  for (std::size_t i = 0; i < state.views.size(); ++i) {
    const LiveViewState& view = state.views[i];
    const long long frame = i < frames.size() ? frames[i] : 0;
    views.push_back({{"id", view.id},
                     {"echo", view.echo},
                     {"trails", view.trails},
                     {"rings", view.rings},
                     {"mode", LightModeName(view.mode)},
                     {"width", view.width},
                     {"height", view.height},
                     {"frame", frame < 0 ? 0 : frame}});
  }
  const nlohmann::json json = {
      {"radar",
       {{"transmitting", radar.transmitting},
        {"state", radar.state},
        {"warmup_seconds", OrNull(radar.warmupSeconds)},
        {"range", radar.range},
        {"range_index", radar.rangeIndex},
        {"echo_colour", radar.echoColour},
        {"trail_colour", radar.trailColour},
        {"trail_time", radar.trailTime},
        {"real_time", radar.realTime},
        {"shift_bearing", Number(radar.shiftBearingDegrees)},
        {"shift_distance", Number(radar.shiftDistanceMiles)}}},
      {"own_ship",
       {{"latitude", Number(state.ownShip.latitudeDegrees)},
        {"longitude", Number(state.ownShip.longitudeDegrees)},
        {"heading", Number(state.ownShip.headingDegrees)}}},
      {"views", views},
      {"refused", OrNull(state.refused)}};
  // Text that is not UTF-8 (a radar's name in the code page) is replaced, not refused.
  return json.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}
