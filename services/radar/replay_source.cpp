#include "services/radar/replay_source.h"

#include <algorithm>
#include <cstdio>

#include "services/radar/own_ship_publisher.h"
#include "services/radar/range_table.h"

namespace radarsim {
namespace {

// Events and sweeps handed over at most between two looks at the radar's state, so that requests take
// effect promptly even at a high pace.
constexpr int kLongestBatch = 1024;
// A thread that was held up longer than this (a stalled machine) plays on from where it was rather
// than rushing through what it missed.
constexpr double kLongestStepSeconds = 0.25;
// A capture that does not loop has nothing more to deliver; the radar still looks at its state.
constexpr auto kIdleLook = std::chrono::hours(1);

std::string NoSpokesReason(const CaptureReader& probe, const std::optional<SpokeStream>& chosen) {
  std::string reason = "no radar spokes to draw";
  if (chosen) reason += " to " + SpokeStreamText(*chosen);
  reason += probe.Error().empty() ? " in the capture" : " before the capture ends: " + probe.Error();
  const std::vector<SpokeStream>& streams = probe.Counts().spokeStreams;
  for (std::size_t i = 0; i < streams.size(); ++i) {
    reason += (i == 0 ? "; its spoke streams: " : ", ") + SpokeStreamText(streams[i]);
  }
  return reason;
}

}  // namespace

std::unique_ptr<ReplaySource> ReplaySource::Open(const ReplaySettings& settings, bool imoMode,
                                                 CaptureOpener opener, std::string& error) {
  // A first look for a spoke to draw: the capture must hold some, its stream is the one played, and its
  // range is the radar's range setting from the start.
  std::unique_ptr<CaptureReader> probe = opener(CaptureStreams{settings.spokes}, error);
  if (!probe) return nullptr;
  CaptureEvent event;
  bool found = false;
  while (!found && probe->Next(event)) {
    found = event.kind == CaptureEvent::Kind::kSpoke && IsDrawnSpoke(event.spoke);
  }
  if (!found) {
    error = NoSpokesReason(*probe, settings.spokes);
    return nullptr;
  }
  std::unique_ptr<CaptureReader> reader = opener(CaptureStreams{event.stream}, error);
  if (!reader) return nullptr;
  const double firstRange = RecordedNauticalMiles(event.spoke.rangeMetres, settings.rangeFactor);
  return std::unique_ptr<ReplaySource>(
      new ReplaySource(settings, imoMode, std::move(opener), std::move(reader), event.stream, firstRange));
}

ReplaySource::ReplaySource(const ReplaySettings& settings, bool imoMode, CaptureOpener opener,
                           std::unique_ptr<CaptureReader> reader, const SpokeStream& stream,
                           double firstSpokeNauticalMiles)
    : settings_(settings),
      opener_(std::move(opener)),
      stream_(stream),
      reader_(std::move(reader)),
      startRangeIndex_(RangeIndexFor(firstSpokeNauticalMiles, settings.rangeUnit)),
      sweeps_(SweepLayoutFor(imoMode), SpokeSweepSettings{settings.alignmentUnits, settings.rangeFactor},
              firstSpokeNauticalMiles) {}

void ReplaySource::StartTurning(Clock::time_point now) { lastLook_ = now; }

bool ReplaySource::TakeDue(Clock::time_point now) {
  const double wall = std::chrono::duration<double>(now - lastLook_).count();
  lastLook_ = now;
  if (finished_) return false;
  clock_ += std::clamp(wall, 0.0, kLongestStepSeconds) * settings_.pace;
  return !pending_ || passStart_ + pending_->seconds <= clock_;
}

RadarSource::Clock::time_point ReplaySource::NextDueTime() const {
  if (finished_) return lastLook_ + kIdleLook;
  if (!pending_) return lastLook_;
  const double wait = std::max(0.0, (passStart_ + pending_->seconds - clock_) / settings_.pace);
  return lastLook_ + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(wait));
}

SourceOutcome ReplaySource::Deliver(const SweepSettings& settings, const SweepSink& deliver) {
  SourceOutcome outcome;
  // The range setting follows the recording within this delivery; the radar's state follows after it.
  SweepSettings current = settings;
  sweeps_.ClearDelivered();
  for (int events = 0; events < kLongestBatch && sweeps_.Delivered() < kLongestBatch; ++events) {
    if (!pending_ && !ReadNext()) {
      sweeps_.Flush(current, deliver, outcome);
      break;
    }
    if (passStart_ + pending_->seconds > clock_) break;
    const CaptureEvent& event = *pending_;
    if (event.kind == CaptureEvent::Kind::kNavigation) {
      PublishNavigation(event.navigation);
    } else {
      sweeps_.Take(event.spoke, current, deliver, outcome);
    }
    pending_.reset();
  }
  return outcome;
}

bool ReplaySource::ReadNext() {
  if (finished_) return false;
  for (;;) {
    CaptureEvent event;
    if (reader_->Next(event)) {
      passLength_ = std::max(passLength_, event.seconds);
      passHadEvents_ = true;
      pending_ = std::move(event);
      return true;
    }
    // The same damage would be told again at every pass.
    if (!reader_->Error().empty() && passes_ == 1) {
      std::fprintf(stderr, "radar replay: %s: %s\n", settings_.name.c_str(), reader_->Error().c_str());
    }
    // A pass without events or without duration would start over without end.
    if (!settings_.loop || !passHadEvents_ || passLength_ <= 0.0) break;
    std::string error;
    std::unique_ptr<CaptureReader> reader = opener_(CaptureStreams{stream_}, error);
    if (!reader) {
      std::fprintf(stderr, "radar replay: %s: cannot start over, the replay stops: %s\n", settings_.name.c_str(),
                   error.c_str());
      break;
    }
    reader_ = std::move(reader);
    passStart_ += passLength_;
    passLength_ = 0.0;
    passHadEvents_ = false;
    ++passes_;
    sweeps_.StartOver();
  }
  finished_ = true;
  return false;
}

}  // namespace radarsim
