#pragma once
// The host's side of the live view, on the host's thread: applies the browsers' edits from the control
// queue through the module's feature and the views' displays, hands each repainted view to the frame
// hub, and keeps the page's state up to date on the module's notices.
#include <chrono>
#include <memory>
#include <vector>

#include "viewer/live/live_state.h"
#include "viewer/module_host/host_loop.h"

class ChartLayers;
class ControlQueue;
class FrameHub;
class ModuleDataSorvik;
class NavigationSource;
class PrintingSink;
class RadarView;
struct AddView;
struct CloseView;
struct RadarEdit;
struct ViewEdit;

class LiveHost final : public LiveFeed {
public:
  struct Parts {
    ModuleDataSorvik& radar;
    NavigationSource& ownShip;
    const ChartLayers& chart;
    const PrintingSink& notices;
    // The views the host owns, in the order of the loop's views.
    std::vector<std::unique_ptr<RadarView>>& views;
    FrameHub& hub;
    ControlQueue& queue;
    bool printing;
  };
  explicit LiveHost(Parts parts);

  void BeginRound(HostLoopParts& loop) override;
  void Repainted(std::size_t index, RadarView& view) override;

private:
  void Apply(HostLoopParts& loop, const RadarEdit& edit);
  void Apply(HostLoopParts& loop, const ViewEdit& edit);
  void Apply(HostLoopParts& loop, const AddView& add);
  void Apply(HostLoopParts& loop, const CloseView& close);
  void RepaintAll(HostLoopParts& loop);
  void PublishState();
  int IndexOf(int viewId) const;

  Parts parts_;
  std::vector<int> ids_;  // ids_[i] is the id of parts_.views[i]
  std::optional<std::string> refused_;
  int noticesSeen_ = -1;
  std::chrono::steady_clock::time_point nextState_{};
};
