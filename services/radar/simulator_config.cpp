#include "services/radar/simulator_config.h"

#include <dlfcn.h>
#include <ini.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <limits>

namespace radarsim {
namespace {

constexpr const char* kSection = "Radar";

bool ParseLong(const char* text, long long low, long long high, long long& value) {
  char* end = nullptr;
  errno = 0;
  const long long parsed = std::strtoll(text, &end, 10);
  if (errno != 0 || end == text || *end != '\0' || parsed < low || parsed > high) return false;
  value = parsed;
  return true;
}

bool ParseInt(const char* text, int low, int high, int& value) {
  long long parsed = 0;
  if (!ParseLong(text, low, high, parsed)) return false;
  value = static_cast<int>(parsed);
  return true;
}

bool ParseDouble(const char* text, double low, double high, double& value) {
  char* end = nullptr;
  errno = 0;
  const double parsed = std::strtod(text, &end);
  if (errno != 0 || end == text || *end != '\0' || !(parsed >= low && parsed <= high)) return false;
  value = parsed;
  return true;
}

bool ParseSeed(const char* text, std::uint64_t& value) {
  char* end = nullptr;
  errno = 0;
  if (*text == '-') return false;
  const unsigned long long parsed = std::strtoull(text, &end, 0);
  if (errno != 0 || end == text || *end != '\0') return false;
  value = parsed;
  return true;
}

// `path` relative to the folder of the file `iniPath`; absolute paths as they are.
std::string RelativeTo(const std::string& iniPath, const char* path) {
  if (path[0] == '/') return path;
  const auto slash = iniPath.find_last_of('/');
  return slash == std::string::npos ? std::string(path) : iniPath.substr(0, slash + 1) + path;
}

bool ParseWord(const char* text, std::initializer_list<const char*> words, int& index) {
  int n = 0;
  for (const char* word : words) {
    if (strcasecmp(text, word) == 0) {
      index = n;
      return true;
    }
    ++n;
  }
  return false;
}

// Stores one key's value; false for an unknown key or a value that does not parse or is out of bounds.
bool ApplyKey(SimulatorConfig& config, const std::string& iniPath, const char* key, const char* value) {
  constexpr int kIntMin = std::numeric_limits<int>::min();
  constexpr int kIntMax = std::numeric_limits<int>::max();
  auto is = [key](const char* name) { return strcasecmp(key, name) == 0; };
  if (is("OpenResult")) return ParseInt(value, kIntMin, kIntMax, config.openResult);
  if (is("RotationRate")) return ParseDouble(value, 1.0, 1200.0, config.rotationRate);
  if (is("WarmupSeconds")) return ParseInt(value, 0, 3600, config.warmupSeconds);
  if (is("TransmitAfterWarmup")) {
    int flag = 0;
    if (!ParseInt(value, 0, 1, flag)) return false;
    config.transmitAfterWarmup = flag == 1;
    return true;
  }
  if (is("Name")) {
    config.radarName = value;
    return !config.radarName.empty();
  }
  if (is("Seed")) return ParseSeed(value, config.seed);
  if (is("Model")) return ParseInt(value, 0, 1, config.model);
  if (is("Antenna")) return ParseInt(value, 0, 6, config.antenna);
  if (is("Range")) return ParseInt(value, 0, 10, config.rangeIndex);
  if (is("RangeUnit")) return ParseInt(value, 0, 2, config.rangeUnit);
  if (is("TimeLapse")) return ParseDouble(value, 0.1, 1000.0, config.timeLapse);
  if (is("SeaState")) return ParseInt(value, 0, 100, config.seaState);
  if (is("Heading")) {
    return ParseDouble(value, -1.0, -1.0, config.headingDegrees) ||
           ParseDouble(value, 0.0, 359.999, config.headingDegrees);
  }
  if (is("WatchmanLookTurns")) return ParseInt(value, 1, 1000, config.watchmanLookTurns);
  int word = 0;
  if (is("Source")) {
    if (!ParseWord(value, {"simulation", "replay", "live"}, word)) return false;
    constexpr SimulatorConfig::Source kSources[] = {SimulatorConfig::Source::kSimulation,
                                                    SimulatorConfig::Source::kReplay,
                                                    SimulatorConfig::Source::kLive};
    config.source = kSources[word];
    return true;
  }
  if (is("Capture")) {
    if (*value == '\0') return false;
    config.capturePath = RelativeTo(iniPath, value);
    return true;
  }
  if (is("Pace")) {
    if (strcasecmp(value, "recorded") == 0) {
      config.pace = 1.0;
      return true;
    }
    return ParseDouble(value, 0.1, 100.0, config.pace);
  }
  if (is("AtEnd")) {
    if (!ParseWord(value, {"loop", "stop"}, word)) return false;
    config.atEnd = word == 0 ? SimulatorConfig::AtEnd::kLoop : SimulatorConfig::AtEnd::kStop;
    return true;
  }
  if (is("BearingAlignment")) return ParseDouble(value, -180.0, 180.0, config.bearingAlignmentDegrees);
  if (is("RangeFactor")) return ParseDouble(value, 0.5, 2.0, config.rangeFactor);
  if (is("Spokes")) {
    const auto stream = ParseSpokeStream(value);
    if (stream) config.spokeStream = stream;
    return stream.has_value();
  }
  if (is("Interface")) {
    config.liveInterface = value;
    return true;
  }
  if (is("Sender")) {
    if (*value == '\0') {
      config.liveSender.reset();
      return true;
    }
    config.liveSender = ParseIpv4Address(value);
    return config.liveSender.has_value();
  }
  return false;
}

struct ParseContext {
  const std::string* path;
  SimulatorConfig* config;
};

int HandleEntry(void* user, const char* section, const char* key, const char* value) {
  auto& context = *static_cast<ParseContext*>(user);
  if (strcasecmp(section, kSection) != 0 || !ApplyKey(*context.config, *context.path, key, value)) {
    std::fprintf(stderr, "%s: ignored [%s] %s = %s\n", context.path->c_str(), section, key, value);
  }
  return 1;  // keep reading: one bad entry does not spoil the others
}

}  // namespace

std::string SimulatorConfigPath() {
  if (const char* path = std::getenv(kConfigPathVariable); path && *path) return path;
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&SimulatorConfigPath), &info) == 0 || !info.dli_fname) {
    return kConfigFileName;
  }
  std::string folder = info.dli_fname;
  const auto slash = folder.find_last_of('/');
  folder = slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
  return folder + kConfigFileName;
}

namespace {

// Parses the file with every line read whole, however long: libinih's line buffer grows up to the file's
// size instead of cutting a long line and parsing its tail as another line.
int ParseWholeLines(const std::string& path, ParseContext& context) {
  struct stat status {};
  const long long size = stat(path.c_str(), &status) == 0 ? static_cast<long long>(status.st_size) : 0;
  const bool useStack = ini_use_stack, allowRealloc = ini_allow_realloc;
  const int maxLine = ini_max_line;
  ini_use_stack = false;
  ini_allow_realloc = true;
  ini_max_line = static_cast<int>(std::clamp<long long>(size + 2, INI_MAX_LINE, INT_MAX));
  const int result = ini_parse(path.c_str(), HandleEntry, &context);
  ini_use_stack = useStack;
  ini_allow_realloc = allowRealloc;
  ini_max_line = maxLine;
  return result;
}

}  // namespace

SimulatorConfig ReadSimulatorConfig(const std::string& path) {
  SimulatorConfig config;
  ParseContext context{&path, &config};
  const int result = ParseWholeLines(path, context);
  if (result > 0) std::fprintf(stderr, "%s:%d: not an ini line, ignored\n", path.c_str(), result);
  return config;
}

SimulatorConfig LoadSimulatorConfig() {
  const std::string path = SimulatorConfigPath();
  // The file beside the library is optional; a file named on purpose must be there.
  const char* named = std::getenv(kConfigPathVariable);
  if (named && *named && access(path.c_str(), R_OK) != 0) {
    std::fprintf(stderr, "%s: cannot read the radar configuration, defaults apply\n", path.c_str());
  }
  return ReadSimulatorConfig(path);
}

}  // namespace radarsim
