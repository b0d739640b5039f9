#pragma once
// A radar of the recorded family on the boat's network: its spoke datagrams received as they come and
// turned into sweeps as a replay turns the recorded ones. The source only listens; the radar is switched
// on and set up from its own display. Datagrams that are no spoke frame, come from another sender or
// carry impossible spokes are counted and skipped; one delivery takes a bounded number of datagrams, so
// that a flood neither holds the radar's thread nor grows without end (the kernel drops what its buffer
// cannot hold). After a few seconds without a spoke the source says the radar is lost.
#include <array>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include "services/radar/radar_source.h"
#include "services/radar/spoke_stream.h"
#include "services/radar/spoke_sweeps.h"
#include "services/radar/udp_listener.h"

namespace radarsim {

struct LiveCounts {
  std::uint64_t datagrams = 0;  // received, from any sender
  std::uint64_t foreign = 0;    // from a sender other than the chosen one
  std::uint64_t badFrames = 0;  // datagrams that are no spoke frame, and spokes with impossible headers
  std::uint64_t spokes = 0;     // spokes turned into sweeps
};

// How long the radar may stay silent before the source says it is lost.
inline constexpr std::chrono::milliseconds kLiveSilenceLimit{3000};

struct LiveSettings {
  ListenSettings listen;
  SpokeSweepSettings sweeps;
  std::chrono::milliseconds silenceLimit = kLiveSilenceLimit;
};
// Datagrams one delivery takes at most: about a second of a fast radar's spokes.
inline constexpr int kLiveDatagramsPerDelivery = 128;
// How long one delivery waits for the first datagram; bounds how late the radar sees a stop request.
inline constexpr auto kLiveWaitPerDelivery = std::chrono::milliseconds(50);

class LiveSource final : public RadarSource {
public:
  // Null with a one-line reason in `error` when the socket cannot be set up.
  static std::unique_ptr<LiveSource> Open(const LiveSettings& settings, bool imoMode, std::string& error);

  std::string SpokeStreamName() const override { return SpokeStreamText(stream_); }
  void StartTurning(Clock::time_point now) override;
  bool TakeDue(Clock::time_point now) override;
  Clock::time_point NextDueTime() const override { return now_; }
  SourceOutcome Deliver(const SweepSettings& settings, const SweepSink& deliver) override;

  const LiveCounts& Counts() const { return counts_; }
  int Descriptor() const { return listener_->Descriptor(); }

private:
  LiveSource(std::unique_ptr<UdpListener> listener, const LiveSettings& settings, bool imoMode);
  void TakeDatagram(std::span<const std::uint8_t> datagram, SweepSettings& current, const SweepSink& deliver,
                    SourceOutcome& outcome);

  const std::unique_ptr<UdpListener> listener_;
  const SpokeStream stream_;
  const std::chrono::milliseconds silenceLimit_;
  SpokeSweeps sweeps_;
  LiveCounts counts_;
  Clock::time_point now_{};
  Clock::time_point lastSpoke_{};
  bool heard_ = false;  // whether the radar was heard within the silence limit, as last told
  // Larger than any UDP payload, so that a datagram is never cut unseen.
  std::array<std::uint8_t, 65536> buffer_{};
};

}  // namespace radarsim
