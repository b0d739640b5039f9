#pragma once
// Reads a network capture of a radar at sea: a pcap file, gzip-compressed or plain. The radar's spoke
// datagrams (UDP, usually larger than the link MTU and so split into IPv4 fragments) are reassembled and
// the frames of one stream decoded into spokes; the ship's NMEA 0183 sentences (UDP) into navigation
// updates. Everything else in the capture is passed over. Damaged input never stops the reader short of the end of the file: a bad
// datagram, frame or sentence is skipped and counted; only a file that cannot be read on ends the events,
// with the reason in Error().
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "services/radar/spoke_frame.h"
#include "services/radar/spoke_stream.h"

namespace radarsim {

// What one NMEA 0183 sentence told about the own ship; each part only when the sentence gave it valid.
struct NavigationUpdate {
  std::optional<double> latitudeDegrees;   // north positive
  std::optional<double> longitudeDegrees;  // east positive
  std::optional<double> headingDegrees;    // true heading, 0 to 360
};

// What the reader takes from a capture: the spoke frames of one stream (recognised by their shape on any
// port; by default the stream of the first frame found) and the NMEA sentences on one port.
struct CaptureStreams {
  std::optional<SpokeStream> spokes;
  std::uint16_t nmeaPort = 10110;
};

inline constexpr std::size_t kMostListedStreams = 16;

struct CaptureCounts {
  std::uint64_t packets = 0;            // link-layer records read
  std::uint64_t datagrams = 0;          // spoke frames of any stream and datagrams to the NMEA port, whole
                                        // or reassembled
  std::uint64_t droppedDatagrams = 0;   // fragments that never made a whole datagram (missing, overlapping,
                                        // oversized, inconsistent), counted once per datagram
  std::uint64_t cutDatagrams = 0;       // datagrams whose remaining fragments lay past the end of the capture;
                                        // set at the end, apart from droppedDatagrams
  std::uint64_t frames = 0;             // spoke datagrams of the stream read, decoded
  std::uint64_t otherStreamFrames = 0;  // spoke datagrams of other streams, passed over
  std::uint64_t badFrames = 0;          // spoke datagrams or spokes with impossible headers or sizes
  std::uint64_t spokes = 0;             // spokes delivered
  std::uint64_t sentences = 0;          // NMEA sentences with a good checksum
  std::uint64_t badSentences = 0;       // NMEA sentences with a bad or missing checksum or bad fields
  // The streams spoke frames went to, in the order first seen, up to kMostListedStreams of them.
  std::vector<SpokeStream> spokeStreams;
};

struct CaptureEvent {
  enum class Kind { kSpoke, kNavigation };
  Kind kind = Kind::kSpoke;
  // Capture time of the packet that completed the event, in seconds since the capture's first record.
  double seconds = 0.0;
  Spoke spoke;                  // kind == kSpoke
  SpokeStream stream;           // kind == kSpoke: where its frame went
  NavigationUpdate navigation;  // kind == kNavigation
};

class CaptureReader {
public:
  // Opens the capture at `path`; null with a one-line reason in `error` when it cannot be opened or
  // is not a capture of a link type the reader understands (Ethernet, Linux cooked, raw IP).
  static std::unique_ptr<CaptureReader> Open(const std::string& path, std::string& error,
                                             CaptureStreams streams = {});
  // The same for a capture held in memory (plain pcap); `name` stands for the path in messages.
  static std::unique_ptr<CaptureReader> OpenMemory(const std::string& name, std::vector<std::uint8_t> bytes,
                                                   std::string& error, CaptureStreams streams = {});
  virtual ~CaptureReader() = default;

  // The next event in capture order; false at the end of the capture or when it cannot be read on
  // (then Error() says why, for example that the file is truncated).
  virtual bool Next(CaptureEvent& event) = 0;
  // Empty after a clean end of the capture.
  virtual const std::string& Error() const = 0;
  virtual const CaptureCounts& Counts() const = 0;
};

}  // namespace radarsim
