#include "viewer/module_host/host_loop.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "host/navigation_source.h"
#include "host/radar_fields.h"
#include "module/module_data_sorvik.h"
#include "viewer/outputs/picture_outputs.h"
#include "viewer/module_host/radar_settings_view.h"
#include "viewer/module_host/radar_view.h"
#include "viewer/module_host/stop_request.h"
#include "viewer/module_host/sweep_counter.h"

namespace {

using Clock = std::chrono::steady_clock;
using Seconds = std::chrono::duration<double>;

// Runs shorter than this show no progress line.
constexpr double kProgressAfterSeconds = 3.0;

// Follows the radar's transmitter: reports each change and asks for transmission once it stands by
// (only until it first transmits when `once` is set: served, a standby asked for from the page stays).
class TransmitterWatch {
public:
  TransmitterWatch(bool transmit, bool once) : transmit_(transmit), once_(once) {}
  void Check(ModuleDataSorvik& radar, OGRLayer* layer) {
    const int state = ReadRadarInteger(layer, kFieldTransmit, -1);
    if (state == last_) return;
    std::printf("transmitter state %d, warm-up %d s, range %.3f NM\n", state,
                ReadRadarInteger(layer, kFieldWarmUpTime, 0), radar.GetRange());
    last_ = state;
    // Once the radar transmits, the one request is spent: a later standby was asked for.
    if (once_ && state == kTransmitting) transmit_ = false;
    if (state != kTransmitStandby || !transmit_) return;
    if (once_) transmit_ = false;
    if (!WriteRadarInteger(layer, kFieldTransmit, kTransmitting)) std::printf("the radar refused to transmit\n");
  }

private:
  bool transmit_;
  bool once_;
  int last_ = -1;
};

void FollowShip(HostLoopParts& parts, bool exactly) {
  const double range = parts.radar.GetRange();
  const PosType ship = parts.ownShip.GetPosition();
  for (RadarView* view : parts.views) view->Follow(ship, range, exactly);
}

}  // namespace

void TakeFigures(HostLoopParts& parts, RunFigures& figures) {
  OGRLayer* layer = parts.radar.GetOGRLayer(0);
  if (parts.counter) {
    figures.sweeps = parts.counter->Sweeps();
    figures.turns = parts.counter->Turns();
  }
  figures.repaints.clear();
  for (RadarView* view : parts.views) figures.repaints.push_back(view->RepaintCount());
  figures.transmitState = ReadRadarInteger(layer, kFieldTransmit, -1);
  figures.rangeMiles = parts.radar.GetRange();
  figures.spokeStream = ReadRadarText(layer, kFieldSpokeStream);
  figures.lostSpokes = ReadRadarInteger(layer, kFieldLostSpokes, -1);
  figures.ownShip = parts.ownShip.GetPosition();
}

bool RunHostLoop(HostLoopParts& parts, const ViewerOptions& options, RunFigures& figures, std::string& error) {
  OGRLayer* layer = parts.radar.GetOGRLayer(0);
  const Seconds period(1.0 / options.pollRate);
  const bool hostRepaints = options.hostRepaintRate > 0.0;
  const Seconds hostRepaintPeriod(hostRepaints ? 1.0 / options.hostRepaintRate : 0.0);
  const bool showProgress = !options.quiet && options.seconds > kProgressAfterSeconds;
  const bool progressOnTerminal = isatty(fileno(stderr)) != 0;
  TransmitterWatch transmitter(options.radar.transmit, parts.live != nullptr);
  figures.plannedSeconds = options.seconds;

  // The views' first paint, as when their windows open.
  FollowShip(parts, true);
  for (std::size_t i = 0; i < parts.views.size(); ++i) {
    parts.views[i]->Repaint();
    if (parts.live) parts.live->Repainted(i, *parts.views[i]);
    if (!parts.pictures.AfterRepaint(static_cast<int>(i), *parts.views[i], error)) return false;
  }
  const auto start = Clock::now();
  const auto end = start + std::chrono::duration_cast<Clock::duration>(Seconds(options.seconds));
  auto roundTime = start;
  auto nextHostRepaint = start + std::chrono::duration_cast<Clock::duration>(hostRepaintPeriod);
  auto nextProgress = start + std::chrono::seconds(1);
  const auto stopRequested = [&parts] { return parts.stop && parts.stop->requested(); };
  while (roundTime < end && !stopRequested()) {
    if (Clock::now() - roundTime > period) {
      // A late round is counted and the pace taken up from now, rather than caught up in a burst.
      ++figures.lateRounds;
      roundTime = Clock::now();
    }
    ++figures.rounds;
    if (parts.live) parts.live->BeginRound(parts);
    parts.radar.Refresh();
    transmitter.Check(parts.radar, layer);
    FollowShip(parts, false);
    const bool hostRepaint = hostRepaints && Clock::now() >= nextHostRepaint;
    if (hostRepaint) nextHostRepaint += std::chrono::duration_cast<Clock::duration>(hostRepaintPeriod);
    for (std::size_t i = 0; i < parts.views.size(); ++i) {
      if (!parts.views[i]->Poll(hostRepaint)) continue;
      if (parts.live) parts.live->Repainted(i, *parts.views[i]);
      if (!parts.pictures.AfterRepaint(static_cast<int>(i), *parts.views[i], error)) return false;
    }
    figures.elapsedSeconds = Seconds(Clock::now() - start).count();
    if (!parts.pictures.AtTime(figures.elapsedSeconds, parts.views, error)) return false;
    if (showProgress && Clock::now() >= nextProgress) {
      nextProgress += std::chrono::seconds(1);
      TakeFigures(parts, figures);
      std::fprintf(stderr, progressOnTerminal ? "\r%s\033[K" : "%s\n", ProgressLine(figures).c_str());
    }
    roundTime += std::chrono::duration_cast<Clock::duration>(period);
    std::this_thread::sleep_until(roundTime);
  }
  if (showProgress && progressOnTerminal) std::fprintf(stderr, "\n");
  figures.stopped = stopRequested();
  if (figures.stopped) figures.stopSignal = parts.stop->signal_number();
  // Moments just before the end that the last round's sleep passed over are still inside the run.
  if (!figures.stopped && !parts.pictures.AtTime(options.seconds, parts.views, error)) return false;
  figures.elapsedSeconds = Seconds(Clock::now() - start).count();
  // The last picture: the views centred on the own ship, painted once more.
  FollowShip(parts, true);
  for (RadarView* view : parts.views) view->Repaint();
  TakeFigures(parts, figures);
  figures.radarFeature = DescribeRadarFeature(layer);
  return true;
}
