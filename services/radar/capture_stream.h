#pragma once
// The records of a pcap capture, read as a stream: from a file, gzip-compressed or plain (zlib reads
// both), or from bytes in memory. A record cut short by the end of the input is told apart from a clean
// end.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "services/radar/packet_layers.h"

struct pcap;  // libpcap's handle

namespace radarsim {

struct CaptureRecord {
  double seconds = 0.0;  // capture time, seconds since the epoch
  ByteView bytes;        // valid until the next call of Next
};

class CaptureStream {
public:
  // Null with a one-line reason in `error` when the input cannot be opened or holds no pcap capture.
  static std::unique_ptr<CaptureStream> OpenFile(const std::string& path, std::string& error);
  static std::unique_ptr<CaptureStream> OpenMemory(std::vector<std::uint8_t> bytes, std::string& error);
  ~CaptureStream();
  CaptureStream(const CaptureStream&) = delete;
  CaptureStream& operator=(const CaptureStream&) = delete;

  int LinkType() const;

  enum class Result { kRecord, kEnd, kTruncated, kError };
  // The next record; on kError, ErrorText() says what went wrong.
  Result Next(CaptureRecord& record);
  const std::string& ErrorText() const { return error_; }

  struct Source;  // the input under the stream

private:
  CaptureStream() = default;
  static std::unique_ptr<CaptureStream> Open(std::unique_ptr<Source> source, std::string& error);

  std::unique_ptr<Source> source_;
  ::pcap* pcap_ = nullptr;
  std::string error_;
};

}  // namespace radarsim
