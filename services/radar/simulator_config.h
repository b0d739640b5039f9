#pragma once
// How the simulated radar is set up: read from "VKSorVik.ini" beside the service library, or from the
// file that the environment variable SORVIK_RADAR_CONFIG names (tests use their own file). A missing
// file gives the defaults; a bad line or value is reported on the standard error and ignored.
//
//   [Radar]
//   OpenResult = 0          ; what Open answers: 0 opens the radar, any other code (-5, 3, ...) fails
//   RotationRate = 24       ; antenna turns per minute, 1 to 1200
//   WarmupSeconds = 90      ; magnetron warm-up after power-on, 0 to 3600
//   TransmitAfterWarmup = 0 ; 1: transmit as soon as warmed up instead of waiting in standby
//   Name = RADAR            ; the radar's name in its identity ("RADAR", "RADAR1", ...)
//   Seed = 1                ; the scene: the same seed gives the same coast, ships and noise
//   Model = 0               ; 0: three pulse lengths, 1: five pulse lengths
//   Antenna = 2             ; antenna type 0 to 6 (longer antennas give narrower beams)
//   Range = 4               ; range index at power-on, 0 to 10
//   RangeUnit = 0           ; 0 nautical miles, 1 kilometres, 2 statute miles
//   TimeLapse = 1           ; how many times faster than real time the ships move, 0.1 to 1000
//   SeaState = 40           ; strength of the sea clutter, 0 to 100
//   Heading = -1            ; ship's heading in degrees sent with each sweep; -1: the radar has none
//   WatchmanLookTurns = 16  ; antenna turns transmitted each time the watchman wakes the radar
//   Source = simulation     ; simulation: the simulated scene; replay: a capture recorded at sea;
//                           ; live: a radar of the recorded family on the network (it only listens)
//   Capture = <path>        ; replay: the capture file (pcap, plain or gzip), relative to this file's folder
//   Pace = recorded         ; replay: recorded (real time) or a factor 0.1 to 100 (2 plays twice as fast)
//   AtEnd = loop            ; replay: loop (start over) or stop (no more sweeps) at the capture's end
//   BearingAlignment = 0    ; replay, live: degrees -180 to 180 added to every spoke angle (antenna mounting)
//   RangeFactor = 1         ; replay, live: 0.5 to 2, scales the recorded range (a calibration setting)
//   Spokes = group:port     ; replay: the spoke stream to play when the capture holds several
//                           ; (236.6.8.19:6483); default: the first one found. live: the multicast group
//                           ; and port the radar sends to, or a unicast address of this machine (0.0.0.0
//                           ; for any) and port; default: the recorded radar's 236.6.9.51:7059
//   Interface =             ; live: the interface (address or name) that joins the group; empty: the
//                           ; interface of the route to the group
//   Sender =                ; live: only datagrams from this address are taken; empty: from any
//
// A replay transmits the capture's spokes as recorded: the recording's range selects the range setting,
// its clock runs only while the radar transmits, and the capture's own-ship navigation is published
// (services/radar/own_ship_fix.h). The other keys keep their meaning; the scene keys are not used.
// A live radar's range and angles come from its spokes the same way; the radar's RAD_SOURCE_STATUS turns
// 0 after a few seconds without a spoke.
#include <cstdint>
#include <optional>
#include <string>

#include "services/radar/spoke_stream.h"

namespace radarsim {

struct SimulatorConfig {
  int openResult = 0;
  double rotationRate = 24.0;
  int warmupSeconds = 90;
  bool transmitAfterWarmup = false;
  std::string radarName = "RADAR";
  std::uint64_t seed = 1;
  int model = 0;
  int antenna = 2;
  int rangeIndex = 4;
  int rangeUnit = 0;
  double timeLapse = 1.0;
  int seaState = 40;
  double headingDegrees = -1.0;
  int watchmanLookTurns = 16;

  enum class Source { kSimulation, kReplay, kLive };
  enum class AtEnd { kLoop, kStop };
  Source source = Source::kSimulation;
  std::string capturePath;  // as resolved against the configuration file's folder
  double pace = 1.0;
  AtEnd atEnd = AtEnd::kLoop;
  double bearingAlignmentDegrees = 0.0;
  double rangeFactor = 1.0;
  std::optional<SpokeStream> spokeStream;
  std::string liveInterface;
  std::optional<std::uint32_t> liveSender;
};

constexpr const char* kConfigFileName = "VKSorVik.ini";
constexpr const char* kConfigPathVariable = "SORVIK_RADAR_CONFIG";

// The file the configuration is read from.
std::string SimulatorConfigPath();
// Reads the configuration file at `path`; defaults where the file or a key is missing.
SimulatorConfig ReadSimulatorConfig(const std::string& path);
// ReadSimulatorConfig(SimulatorConfigPath()).
SimulatorConfig LoadSimulatorConfig();

}  // namespace radarsim
