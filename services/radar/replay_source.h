#pragma once
// A capture recorded at sea played as the radar's sweeps. The recording's clock runs while the radar
// transmits, at the configured pace; at the end of the capture it starts over or stops. Every spoke
// becomes sweeps as services/radar/spoke_sweeps.h tells. The capture's navigation sentences go to the
// own-ship fix.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "services/radar/capture_reader.h"
#include "services/radar/radar_source.h"
#include "services/radar/spoke_sweeps.h"

namespace radarsim {

struct ReplaySettings {
  std::string name;  // how messages name the capture
  double pace = 1.0;
  bool loop = true;
  int alignmentUnits = 0;
  double rangeFactor = 1.0;
  int rangeUnit = 0;  // the unit of the range setting at the start
  std::optional<SpokeStream> spokes;  // the spoke stream to play; none: the first one in the capture
};

// Opens the capture from its start, reading `streams`; null with a reason in `error` when it cannot.
using CaptureOpener =
    std::function<std::unique_ptr<CaptureReader>(const CaptureStreams& streams, std::string& error)>;

class ReplaySource final : public RadarSource {
public:
  // Null with a reason in `error` when the capture cannot be opened or holds no spoke to draw (of the
  // stream chosen).
  static std::unique_ptr<ReplaySource> Open(const ReplaySettings& settings, bool imoMode, CaptureOpener opener,
                                            std::string& error);

  std::optional<int> StartRangeIndex() const override { return startRangeIndex_; }
  std::string SpokeStreamName() const override { return SpokeStreamText(stream_); }
  void StartTurning(Clock::time_point now) override;
  bool TakeDue(Clock::time_point now) override;
  Clock::time_point NextDueTime() const override;
  SourceOutcome Deliver(const SweepSettings& settings, const SweepSink& deliver) override;

  // Seconds of the recording played, over all passes.
  double PlayedSeconds() const { return clock_; }
  // True once a capture that does not loop has been played to its end.
  bool Finished() const { return finished_; }

private:
  ReplaySource(const ReplaySettings& settings, bool imoMode, CaptureOpener opener,
               std::unique_ptr<CaptureReader> reader, const SpokeStream& stream, double firstSpokeNauticalMiles);

  // Reads the next event into pending_; at the end of the capture starts over or finishes.
  bool ReadNext();

  const ReplaySettings settings_;
  const CaptureOpener opener_;
  // The stream played, on every pass.
  const SpokeStream stream_;
  std::unique_ptr<CaptureReader> reader_;
  int startRangeIndex_ = 0;
  SpokeSweeps sweeps_;

  std::optional<CaptureEvent> pending_;
  double clock_ = 0.0;      // recording seconds played
  double passStart_ = 0.0;  // where the current pass of the capture began on that clock
  double passLength_ = 0.0; // the latest event time of the current pass
  int passes_ = 1;
  bool passHadEvents_ = false;
  bool finished_ = false;
  Clock::time_point lastLook_{};
};

}  // namespace radarsim
