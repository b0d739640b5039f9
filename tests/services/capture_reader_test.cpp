// The capture reader: the real capture recorded at sea, and small captures built here for fragments,
// link layers, damaged frames and sentences, and files that cannot be read.
#include "services/radar/capture_reader.h"

#include <sys/stat.h>

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>

#include "capture_builder.h"
#include "services/radar/ipv4_reassembly.h"
#include "services/radar/nmea_sentence.h"
#include "services/radar/spoke_frame.h"
#include "services/radar/spoke_mapping.h"

namespace {

using namespace capture_test;
using radarsim::CaptureCounts;
using radarsim::CaptureEvent;
using radarsim::CaptureReader;
using radarsim::NavigationUpdate;
using radarsim::Spoke;

constexpr std::uint16_t kSpokePort = 7059;
constexpr std::uint16_t kNmeaPort = 10110;

struct ReadResult {
  std::vector<Spoke> spokes;
  std::vector<NavigationUpdate> navigation;
  CaptureCounts counts;
  std::string error;
};

ReadResult ReadAll(CaptureReader& reader) {
  ReadResult result;
  CaptureEvent event;
  while (reader.Next(event)) {
    if (event.kind == CaptureEvent::Kind::kSpoke) {
      result.spokes.push_back(event.spoke);
    } else {
      result.navigation.push_back(event.navigation);
    }
  }
  result.counts = reader.Counts();
  result.error = reader.Error();
  return result;
}

ReadResult ReadMemory(Bytes bytes) {
  std::string error;
  auto reader = CaptureReader::OpenMemory("memory", std::move(bytes), error);
  if (!reader) return ReadResult{{}, {}, {}, error};
  return ReadAll(*reader);
}

// `count` spokes of the recorded radar at angles 0xF00, 0xF02, ...
Bytes SpokeFrame(int count) {
  std::vector<SpokeHeader> spokes(static_cast<std::size_t>(count));
  for (int n = 0; n < count; ++n) spokes[static_cast<std::size_t>(n)].angle = static_cast<std::uint16_t>(0xF00 + 2 * n);
  return SpokeFrameOf(spokes);
}

std::string WithChecksum(std::string_view body, char start = '$') {
  unsigned sum = 0;
  for (const char c : body) sum ^= static_cast<unsigned char>(c);
  char checksum[4];
  std::snprintf(checksum, sizeof checksum, "*%02X", sum);
  return start + std::string(body) + checksum;
}

Bytes Gunzip(const std::string& path) {
  Bytes out;
  gzFile file = gzopen(path.c_str(), "rb");
  if (file == nullptr) return out;
  std::uint8_t buffer[1 << 16];
  for (int count; (count = gzread(file, buffer, sizeof buffer)) > 0;) out.insert(out.end(), buffer, buffer + count);
  gzclose(file);
  return out;
}

std::string WriteTemp(const std::string& name, const Bytes& bytes) {
  const auto path = std::filesystem::temp_directory_path() / ("capture_reader_test_" + name);
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                              static_cast<std::streamsize>(bytes.size()));
  return path.string();
}

TEST(RealCapture, DecodesEverySpokeTurnAndTheShipsPositionAndHeading) {
  std::string error;
  auto reader = CaptureReader::Open(SORVIK_TEST_CAPTURE, error);
  ASSERT_TRUE(reader) << error;
  const ReadResult result = ReadAll(*reader);
  EXPECT_EQ(result.error, "");
  EXPECT_EQ(result.counts.spokes, 6528u);
  EXPECT_EQ(result.counts.frames, 204u);
  EXPECT_EQ(result.counts.droppedDatagrams, 0u);
  EXPECT_EQ(result.counts.badFrames, 0u);
  EXPECT_EQ(result.counts.cutDatagrams, 1u) << "the capture ends after the first fragment of a datagram";
  EXPECT_EQ(result.counts.badSentences, 0u);
  EXPECT_GT(result.counts.sentences, 100u);
  ASSERT_EQ(result.spokes.size(), 6528u);

  int wraps = 0, lost = 0;
  radarsim::SpokeLossCounter losses;
  for (std::size_t i = 0; i < result.spokes.size(); ++i) {
    const Spoke& spoke = result.spokes[i];
    ASSERT_EQ(spoke.rangeMetres, 25465u) << i;
    ASSERT_TRUE(radarsim::IsDrawnSpoke(spoke)) << i;
    lost += losses.Take(spoke.scanCounter);
    ASSERT_LT(*std::max_element(spoke.strengths.begin(), spoke.strengths.end()), 16) << i;
    if (i == 0) continue;
    // This radar sends every second angle.
    ASSERT_EQ((spoke.angle - result.spokes[i - 1].angle + 4096) % 4096, 2) << i;
    if (spoke.angle < result.spokes[i - 1].angle) ++wraps;
  }
  EXPECT_EQ(wraps, 3);
  EXPECT_EQ(lost, 0);
  const std::uint16_t headingWord = result.spokes.front().headingWord;
  EXPECT_EQ(headingWord, 0x4D28);
  EXPECT_TRUE(radarsim::HasTrueHeading(headingWord));
  EXPECT_EQ(headingWord & radarsim::kSpokeHeadingMask, 3368);

  auto firstPosition = std::find_if(result.navigation.begin(), result.navigation.end(),
                                    [](const NavigationUpdate& u) { return u.latitudeDegrees.has_value(); });
  auto firstHeading = std::find_if(result.navigation.begin(), result.navigation.end(),
                                   [](const NavigationUpdate& u) { return u.headingDegrees.has_value(); });
  ASSERT_NE(firstPosition, result.navigation.end());
  ASSERT_NE(firstHeading, result.navigation.end());
  EXPECT_NEAR(*firstPosition->latitudeDegrees, 53 + 10.7378 / 60, 1e-9);
  EXPECT_NEAR(*firstPosition->longitudeDegrees, 5 + 16.0582 / 60, 1e-9);
  EXPECT_DOUBLE_EQ(*firstHeading->headingDegrees, 296.0);
}

// Cut at every 997th byte, the capture reads up to the cut and says it is truncated, naming the whole
// records read. Each cut is read from a few records before it, which keeps the test short.
TEST(RealCapture, CutAnywhereReportsTheTruncationAndNeverReadsPastTheCut) {
  const Bytes capture = Gunzip(SORVIK_TEST_CAPTURE);
  ASSERT_GT(capture.size(), 3'000'000u);
  constexpr std::size_t kFileHeader = 24;
  std::vector<std::size_t> recordStarts;
  for (std::size_t at = kFileHeader; at + 16 <= capture.size();) {
    recordStarts.push_back(at);
    const std::size_t length = capture[at + 8] | capture[at + 9] << 8 | capture[at + 10] << 16;
    at += 16 + length;
  }
  constexpr std::size_t kRecordsBeforeCut = 12;
  int cuts = 0;
  for (std::size_t cut = 997; cut < capture.size(); cut += 997, ++cuts) {
    const auto next = std::upper_bound(recordStarts.begin(), recordStarts.end(), cut);
    const auto first = next - std::min<std::ptrdiff_t>(next - recordStarts.begin(), kRecordsBeforeCut);
    const bool atRecordStart = *std::prev(next) == cut;
    const auto wholeRecords = static_cast<std::size_t>(next - first) - 1;  // the last is cut or starts at the cut
    Bytes bytes(capture.begin(), capture.begin() + kFileHeader);
    bytes.insert(bytes.end(), capture.begin() + static_cast<std::ptrdiff_t>(*first),
                 capture.begin() + static_cast<std::ptrdiff_t>(cut));
    const ReadResult result = ReadMemory(std::move(bytes));
    ASSERT_EQ(result.counts.packets, wholeRecords) << cut;
    ASSERT_EQ(result.error, atRecordStart ? std::string()
                                          : "memory: the capture is truncated after " +
                                                std::to_string(wholeRecords) + " records")
        << cut;
  }
  EXPECT_GT(cuts, 3900);

  // A compressed file cut short is truncated as well.
  std::ifstream gz(SORVIK_TEST_CAPTURE, std::ios::binary);
  Bytes compressed((std::istreambuf_iterator<char>(gz)), std::istreambuf_iterator<char>());
  compressed.resize(compressed.size() / 2);
  const std::string path = WriteTemp("cut.pcap.gz", compressed);
  std::string error;
  auto reader = CaptureReader::Open(path, error);
  ASSERT_TRUE(reader) << error;
  const ReadResult result = ReadAll(*reader);
  EXPECT_GT(result.counts.spokes, 2000u);
  EXPECT_NE(result.error.find(path + ": the capture is truncated after"), std::string::npos) << result.error;
  std::filesystem::remove(path);
}

struct Piece {
  std::uint32_t offset;
  std::uint32_t length;
  bool more = true;
  bool corrupt = false;  // one byte changed
};

struct FragmentCase {
  const char* name;
  std::vector<Piece> pieces;
  std::size_t spokes;
  std::uint64_t dropped;
};

TEST(Fragments, WholeDatagramsInAnyOrderAndDamagedOnesDroppedOnce) {
  // The UDP datagram is 8 + 8 + 2 * 536 = 1088 bytes, sent as pieces of 400, 400 and 288.
  const Bytes payload = SpokeFrame(2);
  const Bytes datagram = Udp(kSpokePort, payload);
  const Piece a{0, 400}, b{400, 400}, c{800, 288, false};
  const FragmentCase cases[] = {
      {"in order", {a, b, c}, 2, 0},
      {"reverse order", {c, b, a}, 2, 0},
      {"a fragment seen twice", {a, b, b, c}, 2, 0},
      {"missing fragment", {a, c}, 0, 1},
      {"overlap with other bytes", {a, {392, 408, true, true}, b, c}, 0, 1},
      {"overlap with its stragglers repeated", {a, {392, 408, true, true}, b, c, a, b, c}, 0, 1},
      {"two different ends", {a, c, {800, 200, false}, b}, 0, 1},
      {"a middle fragment of odd size", {a, {400, 401}, c}, 0, 1},
      {"past 65,535 bytes", {a, {65520, 16, false}}, 0, 1},
  };
  const std::vector<Spoke> expected = radarsim::DecodeSpokeFrame(payload).spokes;
  for (const FragmentCase& test : cases) {
    PcapWriter capture;
    for (const Piece& piece : test.pieces) {
      Bytes bytes(piece.length, 0x55);  // past the datagram's end: filler
      for (std::size_t i = 0; i < piece.length && piece.offset + i < datagram.size(); ++i) {
        bytes[i] = datagram[piece.offset + i];
      }
      if (piece.corrupt) bytes[10] ^= 0xFF;
      capture.Add(Ethernet(Ipv4(bytes, 7, piece.offset, piece.more)));
    }
    capture.Add(Ethernet(Ipv4(Udp(9, {}))), 100.0);  // long after: unfinished datagrams time out
    const ReadResult result = ReadMemory(capture.bytes);
    EXPECT_EQ(result.counts.droppedDatagrams, test.dropped) << test.name;
    EXPECT_EQ(result.counts.cutDatagrams, 0u) << test.name;
    ASSERT_EQ(result.spokes.size(), test.spokes) << test.name;
    for (std::size_t i = 0; i < test.spokes; ++i) {
      EXPECT_EQ(result.spokes[i].angle, expected[i].angle) << test.name;
      EXPECT_EQ(result.spokes[i].strengths, expected[i].strengths) << test.name;
    }
  }
}

TEST(Fragments, UnfinishedDatagramsHoldBoundedMemoryOldestDroppedFirst) {
  radarsim::Ipv4Reassembly reassembly({.maxOpenDatagrams = 64, .maxHeldBytes = 1 << 20, .timeoutSeconds = 30});
  const Bytes piece(1480, 1);
  for (std::uint16_t id = 0; id < 200; ++id) {
    const Bytes bytes = Ipv4(piece, id, 0, true);
    auto packet = radarsim::ParseIpv4(bytes);
    ASSERT_TRUE(packet);
    EXPECT_FALSE(reassembly.Add(*packet, 0.0));
  }
  EXPECT_EQ(reassembly.Unfinished(), 64u);
  EXPECT_EQ(reassembly.Dropped(), 136u);
  EXPECT_EQ(reassembly.HeldBytes(), 64u * 1480);
  // The newest is still open: its last fragment completes it.
  const Bytes lastBytes = Ipv4(Bytes(8, 2), 199, 1480, false);
  auto last = radarsim::ParseIpv4(lastBytes);
  ASSERT_TRUE(last);
  const auto whole = reassembly.Add(*last, 1.0);
  ASSERT_TRUE(whole);
  EXPECT_EQ(whole->size(), 1488u);
}

TEST(LinkLayers, EveryUnderstoodLayerCarriesTheSameSpokes) {
  const Bytes ip = Ipv4(Udp(kSpokePort, SpokeFrame(3)));
  const std::pair<int, Bytes> layers[] = {
      {kLinkEthernet, Ethernet(ip)},
      {kLinkEthernet, Ethernet(ip, 1)},
      {kLinkEthernet, Ethernet(ip, 2)},
      {kLinkLinuxCooked, LinuxCooked(ip)},
      {kLinkRawIp, ip},
  };
  for (const auto& [linkType, record] : layers) {
    const ReadResult result = ReadMemory(PcapWriter(linkType).Add(record).bytes);
    EXPECT_EQ(result.error, "") << linkType;
    ASSERT_EQ(result.spokes.size(), 3u) << linkType << " " << record.size();
    EXPECT_EQ(result.spokes[2].angle, 0xF04);
    EXPECT_EQ(result.counts.frames, 1u);
  }
}

TEST(SpokeFrames, ImpossibleHeadersAndSizesAreSkippedAndCounted) {
  struct Case {
    const char* name;
    std::function<void(Bytes&)> damage;
    bool sizeValid;
    std::size_t spokes;
    std::size_t badSpokes;
  };
  constexpr std::size_t kSecond = 8 + 536;
  const Case cases[] = {
      {"whole", [](Bytes&) {}, true, 2, 0},
      {"header length 23", [](Bytes& f) { f[kSecond] = 23; }, true, 1, 1},
      {"angle 4096", [](Bytes& f) { f[kSecond + 8] = 0x00, f[kSecond + 9] = 0x10; }, true, 1, 1},
      {"no range: kept, not drawn", [](Bytes& f) { f[kSecond + 6] = 0, f[kSecond + 7] = 0; }, true, 2, 0},
      {"a byte short", [](Bytes& f) { f.pop_back(); }, false, 0, 0},
      {"a byte over", [](Bytes& f) { f.push_back(0); }, false, 0, 0},
      {"no spokes", [](Bytes& f) { f.resize(8); }, false, 0, 0},
      {"empty", [](Bytes& f) { f.clear(); }, false, 0, 0},
  };
  for (const Case& test : cases) {
    Bytes frame = SpokeFrame(2);
    test.damage(frame);
    const radarsim::SpokeFrame decoded = radarsim::DecodeSpokeFrame(frame);
    EXPECT_EQ(decoded.sizeValid, test.sizeValid) << test.name;
    EXPECT_EQ(decoded.spokes.size(), test.spokes) << test.name;
    EXPECT_EQ(decoded.badSpokes, test.badSpokes) << test.name;
  }
  // Two samples a byte, the low nibble first: byte 1 of the first spoke is 7 = 0x07.
  const Spoke first = radarsim::DecodeSpokeFrame(SpokeFrame(2)).spokes[0];
  EXPECT_EQ(first.strengths[2], 7);
  EXPECT_EQ(first.strengths[3], 0);
  EXPECT_EQ(first.strengths[2 * 37], (37 * 7) & 0x0F);
  EXPECT_EQ(first.strengths[2 * 37 + 1], (37 * 7 & 0xFF) >> 4);
  EXPECT_EQ(first.rangeMetres, 25465u);
  EXPECT_EQ(first.headingWord, 0x4D28);
}

TEST(SpokeFrames, RangeWordsStatusAndHeadingWordAsTheRadarFamilyMeansThem) {
  struct Case {
    const char* name;
    SpokeHeader header;
    std::uint32_t metres;
    bool drawn;
    std::int16_t sweepHeading;
  };
  const Case cases[] = {
      {"long range: L x S / 512", {.largeRange = 25465, .smallRange = 512}, 25465, true, 6736},
      {"L x S / 512 with S not 512", {.largeRange = 1000, .smallRange = 1024}, 2000, true, 6736},
      {"short range: S / 4", {.largeRange = 0x80, .smallRange = 13752}, 3438, true, 6736},
      {"no range", {.largeRange = 0x80, .smallRange = 0xFFFF}, 0, false, 6736},
      {"status 0x12", {.status = 0x12}, 25465, true, 6736},
      {"status 0x00", {.status = 0x00}, 25465, false, 6736},
      {"status 0x03", {.status = 0x03}, 25465, false, 6736},
      {"heading not true", {.headingWord = 0x0D28}, 25465, true, -1},
      {"heading with bit 15", {.headingWord = 0xCD28}, 25465, true, -1},
      {"heading with bit 12", {.headingWord = 0x5D28}, 25465, true, -1},
  };
  for (const Case& test : cases) {
    const radarsim::SpokeFrame frame = radarsim::DecodeSpokeFrame(SpokeFrameOf({test.header}));
    ASSERT_EQ(frame.spokes.size(), 1u) << test.name;
    const Spoke& spoke = frame.spokes[0];
    EXPECT_EQ(spoke.rangeMetres, test.metres) << test.name;
    EXPECT_EQ(radarsim::IsDrawnSpoke(spoke), test.drawn) << test.name;
    EXPECT_EQ(radarsim::SweepHeadingOf(spoke.headingWord), test.sweepHeading) << test.name;
  }
}

// A reordering network delivers a spoke after later ones: counted lost when the counter jumped past it,
// it is no longer lost once it arrives.
TEST(SpokeFrames, LostSpokesFromTheScanCounterWithLateOnesTakenBack) {
  struct Case {
    const char* name;
    std::vector<std::uint8_t> counters;
    int lost;
  };
  const Case cases[] = {
      {"in order", {10, 11, 12, 13}, 0},
      {"two skipped", {10, 11, 14, 15}, 2},
      {"one late", {10, 12, 11, 13}, 0},
      {"a frame late", {0, 1, 4, 5, 2, 3, 6}, 0},
      {"late twice", {10, 12, 11, 11, 13}, 0},
      {"repeated", {10, 11, 11, 12}, 0},
      {"late across the wrap", {254, 1, 255, 0, 2}, 0},
      {"skipped across the wrap", {254, 1, 2}, 2},
      {"late but not counted lost", {10, 11, 12, 9}, 0},
      {"skipped, late one back, another skipped", {10, 13, 11, 15}, 2},
      {"a cycle on, an old counter is new again", {0, 2, 130, 255, 0, 1, 0}, 252},
  };
  for (const Case& test : cases) {
    radarsim::SpokeLossCounter losses;
    int lost = 0;
    for (std::uint8_t counter : test.counters) lost += losses.Take(counter);
    EXPECT_EQ(lost, test.lost) << test.name;
  }
}

// The reader keeps its events' memory from one record to the next: whatever an earlier record left
// there, each event holds exactly what its own record says, a navigation event no spoke and a spoke
// event no navigation.
TEST(SpokeFrames, EventsOfEachRecordCarryNothingOfTheRecordsBefore) {
  Bytes damaged = SpokeFrameOf({{0x100, 0x02, 1}, {0x102, 0x02, 2}, {0x104, 0x12, 3}});
  damaged[8 + 536] = 23;  // the second spoke's header is impossible
  const Bytes later = SpokeFrameOf({{0x200, 0x12, 9, 0x80, 13752, 0x0123}});
  PcapWriter capture;
  capture.Add(Ethernet(Ipv4(Udp(kSpokePort, damaged))))
      .Add(Ethernet(Ipv4(Udp(kNmeaPort, Text(WithChecksum("HEHDT,90.5,T") + "\r\n")))))
      .Add(Ethernet(Ipv4(Udp(kSpokePort, later))));
  std::string error;
  auto reader = CaptureReader::OpenMemory("memory", capture.bytes, error);
  ASSERT_TRUE(reader) << error;

  std::vector<Spoke> expected = radarsim::DecodeSpokeFrame(damaged).spokes;
  const Spoke lastSpoke = radarsim::DecodeSpokeFrame(later).spokes.at(0);
  ASSERT_EQ(expected.size(), 2u);
  const auto sameSpoke = [](const Spoke& a, const Spoke& b) {
    return a.status == b.status && a.scanCounter == b.scanCounter && a.angle == b.angle &&
           a.headingWord == b.headingWord && a.rangeMetres == b.rangeMetres && a.strengths == b.strengths;
  };
  struct Expected {
    CaptureEvent::Kind kind;
    Spoke spoke;
    std::optional<double> heading;
  };
  const Expected events[] = {{CaptureEvent::Kind::kSpoke, expected[0], {}},
                             {CaptureEvent::Kind::kSpoke, expected[1], {}},
                             {CaptureEvent::Kind::kNavigation, Spoke{}, 90.5},
                             {CaptureEvent::Kind::kSpoke, lastSpoke, {}}};
  for (const Expected& want : events) {
    CaptureEvent event;
    ASSERT_TRUE(reader->Next(event));
    EXPECT_EQ(event.kind, want.kind);
    EXPECT_TRUE(sameSpoke(event.spoke, want.spoke)) << "angle " << event.spoke.angle;
    EXPECT_EQ(event.navigation.headingDegrees, want.heading);
    EXPECT_FALSE(event.navigation.latitudeDegrees);
  }
  CaptureEvent end;
  EXPECT_FALSE(reader->Next(end));
  EXPECT_EQ(reader->Counts().badFrames, 1u);
  EXPECT_EQ(reader->Counts().spokes, 3u);
}

TEST(NmeaSentences, PositionsAndHeadingsFromGoodSentencesOnly) {
  using Status = radarsim::NmeaSentence::Status;
  struct Case {
    std::string sentence;
    Status status;
    double latitude = 0, longitude = 0, heading = -1;
  };
  const std::string goodHeading = WithChecksum("HEHDT,296.0,T");
  std::string badChecksum = goodHeading;
  badChecksum.back() = badChecksum.back() == '0' ? '1' : '0';
  const Case cases[] = {
      {WithChecksum("BMGLL,5310.7378,N,516.0582,E,,A,D"), Status::kNavigation, 53.17896333, 5.26763667},
      {WithChecksum("GPRMC,123519,A,4807.038,S,01131.000,W,022.4,084.4,230394,003.1,W"), Status::kNavigation,
       -48.1173, -11.51666667},
      {WithChecksum("GNGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,"), Status::kNavigation, 48.1173,
       11.51666667},
      {goodHeading, Status::kNavigation, 0, 0, 296.0},
      {WithChecksum("GPGLL,5310.7378,N,00516.0582,E,120000,V"), Status::kNoFix},
      {WithChecksum("GPRMC,123519,V,,,,,,,230394,,"), Status::kNoFix},
      {WithChecksum("GPGGA,123519,4807.038,N,01131.000,E,0,00,,,M,,M,,"), Status::kNoFix},
      {WithChecksum("BOVTG,301.0,T,,M,1.09,N,2.02,K"), Status::kNoFix},
      {WithChecksum("AIVDM,1,1,,A,13biI07P000HjtRNKQ89QOwL0003,0", '!'), Status::kNoFix},
      {badChecksum, Status::kBad},
      {"$HEHDT,296.0,T", Status::kBad},
      {goodHeading.substr(1), Status::kBad},
      {WithChecksum("GPGLL,53x0.7378,N,516.0582,E,,A"), Status::kBad},
      {WithChecksum("GPGLL,5360.0000,N,516.0582,E,,A"), Status::kBad},
      {WithChecksum("GPGLL,5310.7378,Q,516.0582,E,,A"), Status::kBad},
      {WithChecksum("GPGLL,,,,,,A"), Status::kBad},
      {WithChecksum("GPGGA,123519,4807.038,N,01131.000,E,x,08"), Status::kBad},
      {WithChecksum("HEHDT,-5.0,T"), Status::kBad},
      {WithChecksum("HEHDT,nan,T"), Status::kBad},
      {WithChecksum("HEHDT,400,T"), Status::kBad},
  };
  for (const Case& test : cases) {
    const radarsim::NmeaSentence read = radarsim::ReadSentence(test.sentence);
    EXPECT_EQ(read.status, test.status) << test.sentence;
    const NavigationUpdate& update = read.navigation;
    EXPECT_EQ(update.latitudeDegrees.has_value(), test.status == Status::kNavigation && test.heading < 0)
        << test.sentence;
    if (update.latitudeDegrees) {
      EXPECT_NEAR(*update.latitudeDegrees, test.latitude, 1e-7) << test.sentence;
      EXPECT_NEAR(*update.longitudeDegrees, test.longitude, 1e-7) << test.sentence;
    }
    if (test.heading >= 0) {
      EXPECT_EQ(update.headingDegrees, test.heading) << test.sentence;
    }
  }
}

TEST(NmeaSentences, EverySentenceOfADatagramCountsOnce) {
  const std::string text = WithChecksum("GPGLL,5310.7378,N,516.0582,E,,A") + "\r\n$GPHDT,1,T*00\r\n\r\n" +
                           WithChecksum("GPVTG,1,T,,M,1,N,2,K") + "\r\n" + WithChecksum("HEHDT,90.5,T") + "\r\n";
  const ReadResult result = ReadMemory(PcapWriter().Add(Ethernet(Ipv4(Udp(kNmeaPort, Text(text))))).bytes);
  EXPECT_EQ(result.counts.datagrams, 1u);
  EXPECT_EQ(result.counts.sentences, 3u);
  EXPECT_EQ(result.counts.badSentences, 1u);
  ASSERT_EQ(result.navigation.size(), 2u);
  EXPECT_EQ(result.navigation[1].headingDegrees, 90.5);
}

TEST(CaptureFiles, UnreadableInputsGiveAClearReason) {
  const Bytes capture = PcapWriter(kLinkEthernet).bytes;
  Bytes wrongLink = PcapWriter(105).Add(Bytes(40, 0)).bytes;
  const std::string fifo = WriteTemp("fifo.pcap", capture);
  std::filesystem::remove(fifo);
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const struct {
    std::string path;
    std::string reason;
  } cases[] = {
      {"/nonexistent/capture.pcap", "cannot open: No such file or directory"},
      {WriteTemp("text.pcap", Text("this is not a capture, only some words in a file\n")), "not a pcap capture"},
      {WriteTemp("wifi.pcap", wrongLink), "link type IEEE802_11"},
      {WriteTemp("header.pcap", Bytes(capture.begin(), capture.begin() + 10)), "truncated"},
      {fifo, "not a regular file"},  // would wait for a writer for ever
  };
  for (const auto& test : cases) {
    std::string error;
    EXPECT_FALSE(CaptureReader::Open(test.path, error)) << test.path;
    EXPECT_EQ(error.rfind(test.path + ": ", 0), 0u) << error;
    EXPECT_NE(error.find(test.reason), std::string::npos) << error;
    if (test.path.find("/nonexistent/") == std::string::npos) std::filesystem::remove(test.path);
  }
  const std::string empty = WriteTemp("empty.pcap", capture);
  std::string error;
  auto reader = CaptureReader::Open(empty, error);
  ASSERT_TRUE(reader) << error;
  CaptureEvent event;
  EXPECT_FALSE(reader->Next(event));
  EXPECT_EQ(reader->Error(), "");
  std::filesystem::remove(empty);
}

}  // namespace
