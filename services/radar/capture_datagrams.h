#pragma once
// The UDP datagrams of a pcap capture, in capture order: each record unwrapped from its link layer, IPv4
// fragments put back together. Records of other protocols are passed over.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "services/radar/capture_stream.h"
#include "services/radar/ipv4_reassembly.h"
#include "services/radar/packet_layers.h"

namespace radarsim {

struct CapturedDatagram {
  double seconds = 0.0;  // capture time of the record that completed it, since the capture's first record
  std::uint32_t destination = 0;  // the IPv4 destination, host byte order
  UdpDatagram udp;                // its payload valid until the next call of Next
};

class CaptureDatagrams {
public:
  // Null with a one-line reason in `error` when the stream's link type is not one the reader understands.
  static std::unique_ptr<CaptureDatagrams> Over(std::unique_ptr<CaptureStream> stream, std::string& error);

  enum class Result { kDatagram, kEnd, kTruncated, kError };
  Result Next(CapturedDatagram& datagram);

  const std::string& ErrorText() const { return stream_->ErrorText(); }
  std::uint64_t Records() const { return records_; }
  std::uint64_t DroppedDatagrams() const { return reassembly_.Dropped(); }
  std::size_t UnfinishedDatagrams() const { return reassembly_.Unfinished(); }

private:
  CaptureDatagrams(std::unique_ptr<CaptureStream> stream, LinkLayer layer)
      : stream_(std::move(stream)), layer_(layer) {}

  const std::unique_ptr<CaptureStream> stream_;
  const LinkLayer layer_;
  Ipv4Reassembly reassembly_;
  std::vector<std::uint8_t> whole_;  // the last reassembled datagram
  std::optional<double> firstSeconds_;
  std::uint64_t records_ = 0;
};

// The capture's link type named in a message, for a capture the reader does not understand.
std::string LinkTypeError(int linkType);

}  // namespace radarsim
