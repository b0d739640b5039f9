#include "services/radar/capture_datagrams.h"

#include <pcap/pcap.h>

namespace radarsim {

std::string LinkTypeError(int linkType) {
  const char* name = pcap_datalink_val_to_name(linkType);
  const char* description = pcap_datalink_val_to_description(linkType);
  std::string text = "the capture's link type ";
  text += name != nullptr ? name : "unknown";
  if (description != nullptr) text += std::string(" (") + description + ")";
  text += ", number " + std::to_string(linkType) +
          ", is not one the reader understands (Ethernet, Linux cooked, raw IP)";
  return text;
}

std::unique_ptr<CaptureDatagrams> CaptureDatagrams::Over(std::unique_ptr<CaptureStream> stream, std::string& error) {
  const auto layer = LinkLayerOf(stream->LinkType());
  if (!layer) {
    error = LinkTypeError(stream->LinkType());
    return nullptr;
  }
  return std::unique_ptr<CaptureDatagrams>(new CaptureDatagrams(std::move(stream), *layer));
}

CaptureDatagrams::Result CaptureDatagrams::Next(CapturedDatagram& datagram) {
  for (;;) {
    CaptureRecord record;
    switch (stream_->Next(record)) {
      case CaptureStream::Result::kRecord: break;
      case CaptureStream::Result::kEnd: return Result::kEnd;
      case CaptureStream::Result::kTruncated: return Result::kTruncated;
      case CaptureStream::Result::kError: return Result::kError;
    }
    ++records_;
    if (!firstSeconds_) firstSeconds_ = record.seconds;
    const double seconds = record.seconds - *firstSeconds_;
    reassembly_.Expire(seconds);
    const auto ipBytes = Ipv4PacketOf(layer_, record.bytes);
    if (!ipBytes) continue;
    const auto packet = ParseIpv4(*ipBytes);
    if (!packet || packet->protocol != kUdpProtocol) continue;
    ByteView bytes = packet->payload;
    if (packet->IsFragment()) {
      auto whole = reassembly_.Add(*packet, seconds);
      if (!whole) continue;
      whole_ = std::move(*whole);
      bytes = whole_;
    }
    const auto udp = ParseUdp(bytes);
    if (!udp) continue;
    datagram.seconds = seconds;
    datagram.destination = packet->destination;
    datagram.udp = *udp;
    return Result::kDatagram;
  }
}

}  // namespace radarsim
