#include "services/radar/capture_reader.h"

#include <algorithm>
#include <vector>
#include <string_view>

#include "services/radar/capture_datagrams.h"
#include "services/radar/nmea_sentence.h"
#include "services/radar/packet_layers.h"
#include "services/radar/spoke_frame.h"

namespace radarsim {
namespace {

class PcapCaptureReader final : public CaptureReader {
public:
  PcapCaptureReader(std::string name, std::unique_ptr<CaptureDatagrams> datagrams, CaptureStreams streams)
      : name_(std::move(name)), datagrams_(std::move(datagrams)), streams_(streams) {}

  bool Next(CaptureEvent& event) override {
    while (taken_ == pendingCount_) {
      if (ended_) return false;
      taken_ = pendingCount_ = 0;
      ReadRecord();
    }
    event = pending_[taken_++];
    return true;
  }

  const std::string& Error() const override { return error_; }
  const CaptureCounts& Counts() const override { return counts_; }

private:
  void ReadRecord() {
    CapturedDatagram datagram;
    const CaptureDatagrams::Result result = datagrams_->Next(datagram);
    counts_.packets = datagrams_->Records();
    counts_.droppedDatagrams = datagrams_->DroppedDatagrams();
    switch (result) {
      case CaptureDatagrams::Result::kDatagram:
        return HandleUdp(datagram.destination, datagram.udp, datagram.seconds);
      case CaptureDatagrams::Result::kEnd: return End("");
      case CaptureDatagrams::Result::kTruncated:
        return End(name_ + ": the capture is truncated after " + std::to_string(counts_.packets) + " records");
      case CaptureDatagrams::Result::kError:
        return End(name_ + ": cannot read record " + std::to_string(counts_.packets + 1) + ": " +
                   datagrams_->ErrorText());
    }
  }

  void End(std::string error) {
    ended_ = true;
    error_ = std::move(error);
    counts_.cutDatagrams = datagrams_->UnfinishedDatagrams();
  }

  void HandleUdp(std::uint32_t destination, const UdpDatagram& udp, double seconds) {
    if (udp.lengthValid && IsSpokeFrameShape(udp.payload)) {
      ++counts_.datagrams;
      return HandleFrame(SpokeStream{destination, udp.destinationPort}, udp.payload, seconds);
    }
    // Whatever else comes to the stream being read is a damaged frame.
    if (streams_.spokes && *streams_.spokes == SpokeStream{destination, udp.destinationPort}) {
      ++counts_.datagrams;
      ++counts_.badFrames;
      return;
    }
    if (udp.destinationPort != streams_.nmeaPort) return;
    ++counts_.datagrams;
    if (!udp.lengthValid) {
      ++counts_.badSentences;
      return;
    }
    HandleSentences(udp.payload, seconds);
  }

  // Frames of the stream chosen, or of the first stream found, are read; the others counted.
  void HandleFrame(const SpokeStream& stream, ByteView payload, double seconds) {
    auto& seen = counts_.spokeStreams;
    if (std::find(seen.begin(), seen.end(), stream) == seen.end() && seen.size() < kMostListedStreams) {
      seen.push_back(stream);
    }
    if (!streams_.spokes) streams_.spokes = stream;
    if (stream != *streams_.spokes) {
      ++counts_.otherStreamFrames;
      return;
    }
    HandleSpokes(stream, payload, seconds);
  }

  // The next free event slot, its memory reused from an earlier record when there is one; taken by
  // counting it in pendingCount_.
  CaptureEvent& FreeSlot() {
    if (pendingCount_ == pending_.size()) pending_.emplace_back();
    return pending_[pendingCount_];
  }

  // The spokes are decoded straight into the event slots.
  void HandleSpokes(const SpokeStream& stream, ByteView payload, double seconds) {
    ++counts_.frames;
    const std::size_t count = SpokeCountOf(payload);
    for (std::size_t i = 0; i < count; ++i) {
      CaptureEvent& event = FreeSlot();
      if (!DecodeSpokeAt(payload, i, event.spoke)) {
        ++counts_.badFrames;
        continue;
      }
      event.kind = CaptureEvent::Kind::kSpoke;
      event.seconds = seconds;
      event.stream = stream;
      event.navigation = {};
      ++pendingCount_;
      ++counts_.spokes;
    }
  }

  void HandleSentences(ByteView payload, double seconds) {
    const std::string_view text(reinterpret_cast<const char*>(payload.data()), payload.size());
    for (const std::string_view line : SplitSentences(text)) {
      const NmeaSentence sentence = ReadSentence(line);
      if (sentence.status == NmeaSentence::Status::kBad) {
        ++counts_.badSentences;
        continue;
      }
      ++counts_.sentences;
      if (sentence.status != NmeaSentence::Status::kNavigation) continue;
      CaptureEvent& event = FreeSlot();
      event = CaptureEvent{};
      event.kind = CaptureEvent::Kind::kNavigation;
      event.seconds = seconds;
      event.navigation = sentence.navigation;
      ++pendingCount_;
    }
  }

  const std::string name_;
  const std::unique_ptr<CaptureDatagrams> datagrams_;
  CaptureStreams streams_;
  // The events of the last record read, handed out in order: the first pendingCount_ slots, of which
  // taken_ are gone. The slots stay for the next record, so that reading allocates nothing per record.
  std::vector<CaptureEvent> pending_;
  std::size_t pendingCount_ = 0;
  std::size_t taken_ = 0;
  CaptureCounts counts_;
  std::string error_;
  bool ended_ = false;
};

std::unique_ptr<CaptureReader> ReaderOver(const std::string& name, std::unique_ptr<CaptureStream> stream,
                                          std::string& error, CaptureStreams streams) {
  if (!stream) {
    error = name + ": " + error;
    return nullptr;
  }
  auto datagrams = CaptureDatagrams::Over(std::move(stream), error);
  if (!datagrams) {
    error = name + ": " + error;
    return nullptr;
  }
  error.clear();
  return std::make_unique<PcapCaptureReader>(name, std::move(datagrams), streams);
}

}  // namespace

std::unique_ptr<CaptureReader> CaptureReader::Open(const std::string& path, std::string& error,
                                                   CaptureStreams streams) {
  auto stream = CaptureStream::OpenFile(path, error);
  return ReaderOver(path, std::move(stream), error, streams);
}

std::unique_ptr<CaptureReader> CaptureReader::OpenMemory(const std::string& name, std::vector<std::uint8_t> bytes,
                                                         std::string& error, CaptureStreams streams) {
  auto stream = CaptureStream::OpenMemory(std::move(bytes), error);
  return ReaderOver(name, std::move(stream), error, streams);
}

}  // namespace radarsim
