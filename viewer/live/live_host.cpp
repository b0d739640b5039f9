#include "viewer/live/live_host.h"

#include <algorithm>
#include <cmath>

#include "common/layer_keys.h"
#include "common/radar_identity.h"
#include "common/units.h"
#include "display/module_display.h"
#include "host/navigation_source.h"
#include "module/module_data_sorvik.h"
#include "viewer/live/control_queue.h"
#include "viewer/live/frame_hub.h"
#include "viewer/live/radar_edit.h"
#include "viewer/live/radar_state.h"
#include "viewer/module_host/host_objects.h"
#include "viewer/module_host/radar_view.h"

namespace {

// The own ship moves without notices: the state is read again this often anyway.
constexpr std::chrono::milliseconds kStatePeriod(1000);

ModuleLayerKey RadarLayer(const char* name) { return ModuleLayerKey(kRadarModuleName, name); }

bool Shows(ModuleDisplay* display, const char* layer) {
  return display == nullptr || display->IsLayerVisible(RadarLayer(layer));
}

void ShowOrHide(ModuleLayerKeyList& hidden, const char* layer, std::optional<bool> shown) {
  if (!shown) return;
  const ModuleLayerKey key = RadarLayer(layer);
  if (*shown)
    hidden.Remove(key);
  else if (!hidden.Contains(key))
    hidden.Add(key);
}

std::optional<double> Finite(double value) { return std::isfinite(value) ? std::optional(value) : std::nullopt; }

}  // namespace

LiveHost::LiveHost(Parts parts) : parts_(parts) {
  for (std::size_t i = 0; i < parts_.views.size(); ++i) ids_.push_back(static_cast<int>(i) + 1);
  PublishState();
}

int LiveHost::IndexOf(int viewId) const {
  const auto found = std::find(ids_.begin(), ids_.end(), viewId);
  return found == ids_.end() ? -1 : static_cast<int>(found - ids_.begin());
}

void LiveHost::BeginRound(HostLoopParts& loop) {
  const std::vector<LiveCommand> commands = parts_.queue.TakeAll();
  for (const LiveCommand& command : commands)
    std::visit([&](const auto& asked) { Apply(loop, asked); }, command);
  const auto now = std::chrono::steady_clock::now();
  if (!commands.empty() || parts_.notices.NoticeCount() != noticesSeen_ || now >= nextState_) {
    noticesSeen_ = parts_.notices.NoticeCount();
    nextState_ = now + kStatePeriod;
    PublishState();
  }
}

void LiveHost::Repainted(std::size_t index, RadarView& view) {
  if (index >= ids_.size()) return;
  parts_.hub.Publish(ids_[index], static_cast<std::uint32_t>(view.RepaintCount()), view.Chart().Surface());
}

void LiveHost::RepaintAll(HostLoopParts& loop) {
  for (std::size_t i = 0; i < loop.views.size(); ++i) {
    loop.views[i]->Repaint();
    Repainted(i, *loop.views[i]);
  }
}

void LiveHost::Apply(HostLoopParts& loop, const RadarEdit& edit) {
  const std::optional<std::string> refused = ApplyRadarEdit(parts_.radar.GetOGRLayer(0), edit);
  // A refusal stays shown until an edit takes.
  refused_ = refused;
  // The settings reach the displays through the module's next refresh; the views show them at once.
  parts_.radar.Refresh();
  RepaintAll(loop);
}

void LiveHost::Apply(HostLoopParts&, const ViewEdit& edit) {
  const int index = IndexOf(edit.viewId);
  if (index < 0) return;  // closed since the server accepted the edit
  RadarView& view = *parts_.views[static_cast<std::size_t>(index)];
  if (ModuleDisplay* display = view.Display(); display && (edit.echo || edit.trails || edit.rings)) {
    ModuleLayerKeyList hidden;
    display->GetHiddenLayers(hidden);
    ShowOrHide(hidden, "RADAR_LAYER", edit.echo);
    ShowOrHide(hidden, "TRAIL_LAYER", edit.trails);
    ShowOrHide(hidden, "RINGS_LAYER", edit.rings);
    display->SetHiddenLayers(hidden);
  }
  if (edit.mode) view.SetMode(*edit.mode);
  view.Repaint();
  Repainted(static_cast<std::size_t>(index), view);
}

void LiveHost::Apply(HostLoopParts& loop, const AddView&) {
  if (parts_.views.size() >= static_cast<std::size_t>(kMaxViews)) return;
  const ChartProjection& first = parts_.views.front()->Chart().Projection();
  std::string error;
  std::unique_ptr<RadarView> view = RadarView::Create(first.Width(), first.Height(), parts_.ownShip.GetPosition(),
                                                      parts_.radar, parts_.chart, error);
  if (!view) {
    refused_ = "no view could be added: " + error;
    return;
  }
  view->SetMode(parts_.views.front()->Mode());
  view->SetPrinting(parts_.printing);
  if (ModuleDisplay* display = view->Display()) {
    ModuleDisplayList others;
    for (const auto& other : parts_.views)
      if (other->Display()) others.push_back(other->Display());
    if (!others.empty()) display->CopySettingsFrom(others);
  }
  view->Follow(parts_.ownShip.GetPosition(), parts_.radar.GetRange(), true);
  view->Repaint();
  // The smallest id not in use: ids stay within the one byte a frame message gives them.
  int id = 1;
  while (IndexOf(id) >= 0) ++id;
  ids_.push_back(id);
  loop.views.push_back(view.get());
  parts_.views.push_back(std::move(view));
  Repainted(parts_.views.size() - 1, *parts_.views.back());
}

void LiveHost::Apply(HostLoopParts& loop, const CloseView& close) {
  const int index = IndexOf(close.viewId);
  if (index < 0 || parts_.views.size() <= 1) return;
  loop.views.erase(loop.views.begin() + index);
  parts_.views.erase(parts_.views.begin() + index);
  ids_.erase(ids_.begin() + index);
  parts_.hub.RemoveView(close.viewId);
}

void LiveHost::PublishState() {
  LiveState state;
  state.radar = ReadRadarState(parts_.radar.GetOGRLayer(0), parts_.radar.GetRange());
  const PosType ship = parts_.ownShip.GetPosition();
  state.ownShip.latitudeDegrees = Finite(ship.latitude / kRadiansPerDegree);
  state.ownShip.longitudeDegrees = Finite(ship.longitude / kRadiansPerDegree);
  double heading = 0.0;
  if (parts_.ownShip.GetHeading(&heading)) state.ownShip.headingDegrees = Finite(heading / kRadiansPerDegree);
  for (std::size_t i = 0; i < parts_.views.size(); ++i) {
    RadarView& view = *parts_.views[i];
    LiveViewState shown;
    shown.id = ids_[i];
    ModuleDisplay* display = view.Display();
    shown.echo = Shows(display, "RADAR_LAYER");
    shown.trails = Shows(display, "TRAIL_LAYER");
    shown.rings = Shows(display, "RINGS_LAYER");
    shown.mode = view.Mode();
    shown.width = view.Chart().Projection().Width();
    shown.height = view.Chart().Projection().Height();
    state.views.push_back(shown);
  }
  state.refused = refused_;
  parts_.hub.PublishState(state);
}
