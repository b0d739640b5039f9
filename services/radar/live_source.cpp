#include "services/radar/live_source.h"

#include "services/radar/spoke_frame.h"

namespace radarsim {

std::unique_ptr<LiveSource> LiveSource::Open(const LiveSettings& settings, bool imoMode, std::string& error) {
  std::unique_ptr<UdpListener> listener = UdpListener::Open(settings.listen, error);
  if (!listener) return nullptr;
  return std::unique_ptr<LiveSource>(new LiveSource(std::move(listener), settings, imoMode));
}

// No recorded range yet: the first spoke's range chooses the range setting.
LiveSource::LiveSource(std::unique_ptr<UdpListener> listener, const LiveSettings& settings, bool imoMode)
    : listener_(std::move(listener)),
      stream_(settings.listen.endpoint),
      silenceLimit_(settings.silenceLimit), sweeps_(SweepLayoutFor(imoMode), settings.sweeps, 0.0) {}

void LiveSource::StartTurning(Clock::time_point now) {
  // What arrived in standby is old: the picture starts from what comes now.
  listener_->Drain();
  sweeps_.Forget();
  now_ = now;
  lastSpoke_ = now;
  heard_ = true;
}

bool LiveSource::TakeDue(Clock::time_point now) {
  now_ = now;
  return true;
}

SourceOutcome LiveSource::Deliver(const SweepSettings& settings, const SweepSink& deliver) {
  SourceOutcome outcome;
  SweepSettings current = settings;
  if (listener_->Wait(kLiveWaitPerDelivery)) {
    for (int taken = 0; taken < kLiveDatagramsPerDelivery; ++taken) {
      const auto received = listener_->Receive(buffer_);
      if (!received) break;
      ++counts_.datagrams;
      if (received->foreign) {
        ++counts_.foreign;
        continue;
      }
      if (received->size > buffer_.size()) {
        ++counts_.badFrames;
        continue;
      }
      TakeDatagram(std::span<const std::uint8_t>(buffer_.data(), received->size), current, deliver, outcome);
    }
  }
  const bool heard = Clock::now() - lastSpoke_ < silenceLimit_;
  if (heard != heard_) {
    heard_ = heard;
    outcome.signal = heard;
  }
  return outcome;
}

void LiveSource::TakeDatagram(std::span<const std::uint8_t> datagram, SweepSettings& current,
                              const SweepSink& deliver, SourceOutcome& outcome) {
  const SpokeFrame frame = DecodeSpokeFrame(datagram);
  if (!frame.sizeValid) {
    ++counts_.badFrames;
    return;
  }
  counts_.badFrames += frame.badSpokes;
  if (frame.spokes.empty()) return;
  counts_.spokes += frame.spokes.size();
  lastSpoke_ = Clock::now();
  for (const Spoke& spoke : frame.spokes) sweeps_.Take(spoke, current, deliver, outcome);
}

}  // namespace radarsim
