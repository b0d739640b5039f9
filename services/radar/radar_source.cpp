#include "services/radar/radar_source.h"

#include "services/radar/capture_reader.h"
#include "services/radar/live_source.h"
#include "services/radar/replay_source.h"
#include "services/radar/simulation_source.h"
#include "services/radar/spoke_mapping.h"

namespace radarsim {

std::unique_ptr<RadarSource> OpenRadarSource(const SimulatorConfig& config, bool imoMode, std::string& error) {
  if (config.source == SimulatorConfig::Source::kSimulation) {
    return std::make_unique<SimulationSource>(config, imoMode);
  }
  if (config.source == SimulatorConfig::Source::kLive) {
    LiveSettings settings;
    settings.listen.endpoint = config.spokeStream.value_or(kRecordedSpokeStream);
    settings.listen.interface = config.liveInterface;
    settings.listen.sender = config.liveSender;
    settings.sweeps = {AlignmentUnitsOf(config.bearingAlignmentDegrees), config.rangeFactor};
    std::unique_ptr<LiveSource> source = LiveSource::Open(settings, imoMode, error);
    if (!source) error = "cannot receive the radar's spokes: " + error;
    return source;
  }
  if (config.capturePath.empty()) {
    error = "a replay needs the capture to play: Capture = <path>";
    return nullptr;
  }
  ReplaySettings settings;
  settings.name = config.capturePath;
  settings.pace = config.pace;
  settings.loop = config.atEnd == SimulatorConfig::AtEnd::kLoop;
  settings.alignmentUnits = AlignmentUnitsOf(config.bearingAlignmentDegrees);
  settings.rangeFactor = config.rangeFactor;
  settings.rangeUnit = config.rangeUnit;
  settings.spokes = config.spokeStream;
  CaptureOpener opener = [path = config.capturePath](const CaptureStreams& streams, std::string& reason) {
    return CaptureReader::Open(path, reason, streams);
  };
  std::string reason;
  std::unique_ptr<ReplaySource> source = ReplaySource::Open(settings, imoMode, std::move(opener), reason);
  if (!source) error = "cannot replay the capture " + config.capturePath + ": " + reason;
  return source;
}

}  // namespace radarsim
