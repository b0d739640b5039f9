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
      layout_(SweepLayoutFor(imoMode)),
      opener_(std::move(opener)),
      stream_(stream),
      reader_(std::move(reader)),
      startRangeIndex_(RangeIndexFor(firstSpokeNauticalMiles, settings.rangeUnit)),
      rangeChosenFor_(firstSpokeNauticalMiles) {}

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
  sweepsThisDelivery_ = 0;
  for (int events = 0; events < kLongestBatch && sweepsThisDelivery_ < kLongestBatch; ++events) {
    if (!pending_ && !ReadNext()) {
      // The last spoke covers its usual width: there is no next one to reach for.
      if (held_) {
        const auto end = static_cast<std::uint16_t>((held_->angle + kSpokeWidthUnits) % kAngleUnitsPerTurn);
        EmitHeld(RowsToFill(held_->angle, end, kAngleUnitsPerTurn / layout_.rows), current, deliver, outcome);
        held_.reset();
      }
      break;
    }
    if (passStart_ + pending_->seconds > clock_) break;
    const CaptureEvent& event = *pending_;
    if (event.kind == CaptureEvent::Kind::kNavigation) {
      PublishNavigation(event.navigation);
    } else {
      outcome.lostSpokes += losses_.Take(event.spoke.scanCounter);
      const std::uint16_t angle = SweepAngleOf(event.spoke.angle, settings_.alignmentUnits);
      if (held_) EmitHeld(RowsToFill(held_->angle, angle, kAngleUnitsPerTurn / layout_.rows), current, deliver, outcome);
      // A spoke not to draw leaves its rows as they were.
      if (IsDrawnSpoke(event.spoke)) {
        TakeSpoke(event.spoke, current, outcome);
      } else {
        held_.reset();
      }
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
    losses_.Restart();
    passStart_ += passLength_;
    passLength_ = 0.0;
    passHadEvents_ = false;
    ++passes_;
  }
  finished_ = true;
  return false;
}

void ReplaySource::TakeSpoke(const Spoke& spoke, SweepSettings& current, SourceOutcome& outcome) {
  const double recorded = RecordedNauticalMiles(spoke.rangeMetres, settings_.rangeFactor);
  // A new recorded range selects its range setting; otherwise the host's choice stands.
  if (recorded != rangeChosenFor_) {
    rangeChosenFor_ = recorded;
    const int rangeIndex = RangeIndexFor(recorded, current.rangeUnit);
    if (rangeIndex != current.rangeIndex) {
      current.rangeIndex = rangeIndex;
      outcome.rangeIndex = rangeIndex;
    }
  }
  if (!held_) held_.emplace(HeldSpoke{});
  HeldSpoke& held = *held_;
  held.angle = SweepAngleOf(spoke.angle, settings_.alignmentUnits);
  held.heading = SweepHeadingOf(spoke.headingWord);
  held.recordedNauticalMiles = recorded;
  held.levels.resize(static_cast<std::size_t>(layout_.sampleCount));
  ResampleStrengths(spoke.strengths, held.levels, layout_.byteStrengths);
}

void ReplaySource::EmitHeld(int rows, const SweepSettings& settings, const SweepSink& deliver,
                            SourceOutcome& outcome) {
  const HeldSpoke& held = *held_;
  SweepRecord record;
  record.kind = kSweepKindSamples;
  record.samples = held.levels.data();
  record.sampleCount = static_cast<std::uint16_t>(layout_.sampleCount);
  record.rangeSampleCount = RangeSampleCountFor(RangeInNauticalMiles(settings.rangeIndex, settings.rangeUnit),
                                                held.recordedNauticalMiles, layout_.sampleCount);
  record.heading = held.heading;
  const int unitsPerRow = kAngleUnitsPerTurn / layout_.rows;
  for (int row = 0; row < rows; ++row) {
    record.angle = static_cast<std::uint16_t>((held.angle + row * unitsPerRow) % kAngleUnitsPerTurn);
    if (lastAngle_ && record.angle < *lastAngle_) ++outcome.turns;
    lastAngle_ = record.angle;
    deliver(record);
    ++sweepsThisDelivery_;
  }
}

}  // namespace radarsim
