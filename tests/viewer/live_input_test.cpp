// The live radar path end to end on this machine: the sender plays the recording's spokes and sentences to
// 127.0.0.1, the radar service's live source and the viewer's NMEA reader take them in, and the viewer's
// picture is scored against the chart's land as the replay's is. A lossy network (datagrams dropped and
// reordered) and a flood of junk datagrams must leave the picture and the host loop's pace as they were.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <random>
#include <thread>
#include <vector>

#include "support/free_udp_port.h"
#include "support/land_share.h"
#include "viewer_runner.h"

namespace {

using namespace std::chrono_literals;

constexpr char kCapture[] = SORVIK_SOURCE_DIR "/data/recordings/halo_and_0183.pcap.gz";
constexpr char kLand[] = SORVIK_SOURCE_DIR "/data/charts/wadden-land.geojson";
// The ship's first recorded position (53 deg 10.7378' N, 5 deg 16.0582' E); it moves a few metres in the
// recording's seconds.
constexpr double kRecordedLatitude = 53.0 + 10.7378 / 60.0;
constexpr double kRecordedLongitude = 5.0 + 16.0582 / 60.0;
constexpr double kPositionToleranceDegrees = 0.001;
constexpr int kViewerSeconds = 8;
// The sender outlasts the viewer's start and run.
constexpr int kSenderSeconds = kViewerSeconds + 3;
constexpr std::uint32_t kLoopback = INADDR_LOOPBACK;

// The radar service listens to the spokes on 127.0.0.1 and takes them from that sender only.
std::string LiveRadarConfig(const std::string& name, std::uint16_t port) {
  const std::string path = Scratch("live-" + name + ".ini");
  std::ofstream(path) << "[Radar]\nWarmupSeconds = 0\nTransmitAfterWarmup = 1\nSource = live\n"
                      << "Spokes = 127.0.0.1:" << port << "\nSender = 127.0.0.1\n"
                      << "BearingAlignment = 0\nRangeFactor = 1\n";
  return path;
}

// The picture every run draws: the echo alone, in one colour, as a GeoTIFF.
std::string PictureArguments(const std::string& name) {
  return " --profile " + Scratch(name + ".ini") + " --output " + Scratch(name) + " --geotiff " +
         Scratch(name + ".tif") + " --seconds " + std::to_string(kViewerSeconds) +
         " --size 1280x800 --echo-colour 0 --real-time off --printing --hide 1:RINGS,TRAIL";
}

struct ViewerRun {
  std::string name;
  FILE* viewer = nullptr;
  FILE* sender = nullptr;
  std::uint16_t spokePort = 0;
};

ViewerRun StartReplay(const std::string& name) {
  ViewerRun run{name};
  run.viewer = StartViewer("--radar-config " + ReplayRadarConfig(name, 0.0, 1.0) + PictureArguments(name));
  return run;
}

// A viewer on live input and the sender playing the recording to it; `senderOptions` shape the network.
ViewerRun StartLive(const std::string& name, const std::string& senderOptions = "") {
  ViewerRun run{name};
  run.spokePort = FreeUdpPort();
  const std::uint16_t nmeaPort = FreeUdpPort();
  run.viewer = StartViewer("--radar-config " + LiveRadarConfig(name, run.spokePort) + " --nmea udp:127.0.0.1:" +
                           std::to_string(nmeaPort) + PictureArguments(name));
  run.sender = StartStaged(std::string("sorvik_capture_send ") + kCapture + " --to 127.0.0.1 --port 7059=" +
                           std::to_string(run.spokePort) + " --port 10110=" + std::to_string(nmeaPort) +
                           " --seconds " + std::to_string(kSenderSeconds) + " " + senderOptions);
  return run;
}

// What a finished run showed: its summary's figures and the picture's score.
struct Outcome {
  ViewerResult viewer;
  ViewerResult sender;
  land_share::Score score;
  land_share::RadarCircle circle;
  long long lost = -1;
  int rounds = 0, late = -1;
};

Outcome Finish(const ViewerRun& run, std::vector<std::uint8_t>& nearLand) {
  Outcome outcome;
  outcome.viewer = FinishViewer(run.viewer);
  if (run.sender) outcome.sender = FinishViewer(run.sender);
  const std::string& text = outcome.viewer.output;
  EXPECT_EQ(outcome.viewer.exitCode, 0) << run.name << "\n" << text;
  std::string error;
  EXPECT_TRUE(land_share::ScoreRun(Scratch(run.name + ".tif"), text, kLand, nearLand, outcome.score, error))
      << run.name << ": " << error << "\n" << text;
  land_share::ReadRadarCircle(text, outcome.circle);
  if (const std::size_t at = text.find(", lost "); at != std::string::npos)
    std::sscanf(text.c_str() + at, ", lost %lld", &outcome.lost);
  if (const std::size_t at = text.find("\nrun: "); at != std::string::npos)
    std::sscanf(text.c_str() + at, "\nrun: %*f s, %d host rounds, %d late", &outcome.rounds, &outcome.late);
  std::printf("%s: %.1f%% of %ld strong echo pixels on or near land, ship at %.6f %.6f, %lld spokes lost, "
              "%d of %d rounds late\n",
              run.name.c_str(), outcome.score.Percent(), outcome.score.strong, outcome.circle.latitude,
              outcome.circle.longitude, outcome.lost, outcome.late, outcome.rounds);
  return outcome;
}

void ExpectRecordedPosition(const Outcome& outcome, const std::string& name) {
  EXPECT_NEAR(outcome.circle.latitude, kRecordedLatitude, kPositionToleranceDegrees) << name;
  EXPECT_NEAR(outcome.circle.longitude, kRecordedLongitude, kPositionToleranceDegrees) << name;
}

TEST(LiveInput, LivePictureScoresAsTheReplaysAndStillFillsOnALossyOrReorderingNetwork) {
  const ViewerRun replay = StartReplay("replay");
  const ViewerRun live = StartLive("live");
  const ViewerRun lossy = StartLive("lossy", "--drop 10 --reorder 5 --seed 7");
  const ViewerRun reordering = StartLive("reordered", "--reorder 10 --seed 5");
  GDALAllRegister();
  std::vector<std::uint8_t> nearLand;
  const Outcome replayed = Finish(replay, nearLand);
  const Outcome clean = Finish(live, nearLand);
  const Outcome lossed = Finish(lossy, nearLand);
  const Outcome reordered = Finish(reordering, nearLand);
  ASSERT_GT(replayed.score.strong, 0);
  EXPECT_NEAR(clean.score.Percent(), replayed.score.Percent(), 1.0);
  ExpectRecordedPosition(clean, "live");
  EXPECT_EQ(clean.lost, 0) << clean.viewer.output;

  // Each turn's drops are filled by the next turn's spokes at those angles: the picture stays whole.
  EXPECT_GE(lossed.score.strong, clean.score.strong * 9 / 10);
  EXPECT_NEAR(lossed.score.Percent(), clean.score.Percent(), 2.0);
  ExpectRecordedPosition(lossed, "lossy");
  EXPECT_GT(lossed.lost, 0) << lossed.viewer.output;
  EXPECT_NE(lossed.sender.output.find("dropped"), std::string::npos) << lossed.sender.output;

  // Spokes that come late are drawn, and not lost.
  EXPECT_EQ(reordered.lost, 0) << reordered.viewer.output;
  EXPECT_NEAR(reordered.score.Percent(), clean.score.Percent(), 1.0);
}

// Datagrams nobody should send a radar's port: random bytes of random lengths, spoke frames cut short, and
// frames of the right size whose spoke headers are impossible.
std::vector<std::vector<std::uint8_t>> JunkDatagrams(std::mt19937& random) {
  constexpr std::size_t kFrameBytes = 8 + 32 * 536;
  std::vector<std::vector<std::uint8_t>> junk;
  auto bytes = [&](std::size_t size) {
    std::vector<std::uint8_t> datagram(size);
    for (std::uint8_t& byte : datagram) byte = static_cast<std::uint8_t>(random());
    return datagram;
  };
  for (int n = 0; n < 48; ++n) junk.push_back(bytes(random() % 1500));
  for (int n = 0; n < 8; ++n) {
    std::vector<std::uint8_t> cut = bytes(kFrameBytes - 1 - random() % 535);
    cut[8] = 24;
    junk.push_back(cut);
  }
  for (int n = 0; n < 8; ++n) {
    std::vector<std::uint8_t> impossible = bytes(kFrameBytes);
    for (std::size_t spoke = 0; spoke < 32; ++spoke) {
      std::uint8_t* header = &impossible[8 + spoke * 536];
      header[0] = n % 2 ? 24 : static_cast<std::uint8_t>(25 + n);  // a wrong header length, or
      header[1] = 0x02;
      header[8] = 0xFF, header[9] = 0xFF;  // an angle beyond a turn
    }
    junk.push_back(impossible);
  }
  return junk;
}

// Sends `count` junk datagrams to 127.0.0.1:`port`, spread over `span`; answers how many left.
int Flood(std::uint16_t port, int count, std::chrono::milliseconds span) {
  std::mt19937 random(2718);
  const auto junk = JunkDatagrams(random);
  const int out = socket(AF_INET, SOCK_DGRAM, 0);
  sockaddr_in destination{};
  destination.sin_family = AF_INET;
  destination.sin_addr.s_addr = htonl(kLoopback);
  destination.sin_port = htons(port);
  const auto start = std::chrono::steady_clock::now();
  constexpr int kBurst = 100;
  int left = 0;
  for (int sent = 0; sent < count; sent += kBurst) {
    for (int n = 0; n < kBurst; ++n) {
      const auto& datagram = junk[random() % junk.size()];
      left += sendto(out, datagram.data(), datagram.size(), 0, reinterpret_cast<const sockaddr*>(&destination),
                     sizeof destination) == static_cast<ssize_t>(datagram.size());
    }
    std::this_thread::sleep_until(start + span * (sent + kBurst) / count);
  }
  close(out);
  return left;
}

TEST(LiveInput, AFloodOfJunkLeavesThePictureAndTheHostsPace) {
  const ViewerRun calm = StartLive("calm");
  const ViewerRun flooded = StartLive("flooded");
  // The flood starts once the viewer listens and ends before its picture is taken.
  std::this_thread::sleep_for(2s);
  EXPECT_EQ(Flood(flooded.spokePort, 100000, 4s), 100000);
  GDALAllRegister();
  std::vector<std::uint8_t> nearLand;
  const Outcome quiet = Finish(calm, nearLand);
  const Outcome loud = Finish(flooded, nearLand);
  EXPECT_GE(loud.score.strong, quiet.score.strong * 9 / 10);
  EXPECT_NEAR(loud.score.Percent(), quiet.score.Percent(), 1.0);
  EXPECT_LE(loud.late, quiet.late + std::max(3, quiet.rounds / 50)) << loud.viewer.output;
  ExpectRecordedPosition(loud, "flooded");
}

}  // namespace
