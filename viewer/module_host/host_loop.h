#pragma once
// The host's user-interface loop at its poll rate: refresh the data module, keep every view on the own
// ship at the radar's range, poll every view's display and repaint the views that ask (and all of them
// now and then of the host's own accord), ask for transmission once the radar stands by, write the
// pictures that fall due and show progress.
#include <cstddef>
#include <string>
#include <vector>

#include "viewer/outputs/run_summary.h"
#include "viewer/view_options.h"

class ModuleDataSorvik;
class NavigationSource;
class PictureOutputs;
class RadarView;
class StopRequest;
class SweepCounter;

struct HostLoopParts;

// What the loop feeds when the views are served live: at the start of each round it applies what the
// browsers asked for (which may add views to `parts.views` or close some), and it is handed every view
// that repainted.
class LiveFeed {
public:
  virtual void BeginRound(HostLoopParts& parts) = 0;
  virtual void Repainted(std::size_t index, RadarView& view) = 0;

protected:
  ~LiveFeed() = default;
};

struct HostLoopParts {
  ModuleDataSorvik& radar;
  NavigationSource& ownShip;
  std::vector<RadarView*> views;
  PictureOutputs& pictures;
  const SweepCounter* counter;  // may be null
  const StopRequest* stop;      // may be null: the run lasts its seconds
  LiveFeed* live = nullptr;     // null unless the views are served
};

// Runs for the options' seconds, or until a stop is requested; either way the views are painted once
// more at the end. False with the reason in `error` when a picture could not be written.
bool RunHostLoop(HostLoopParts& parts, const ViewerOptions& options, RunFigures& figures, std::string& error);

// Fills the figures that describe the radar and the views now.
void TakeFigures(HostLoopParts& parts, RunFigures& figures);
