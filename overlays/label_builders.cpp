#include "overlays/label_builders.h"

#include <charconv>
#include <climits>
#include <cstring>

#include "common/units.h"
#include "host/gen_data.h"
#include "host/radar_service.h"
#include "module/resource_library.h"

namespace {

constexpr int kFinerDecimals = 4;
constexpr char kServiceRadarName[] = "RADAR";
constexpr UINT kRadarWordResource = 17;

struct TextOfCode {
  int code;
  UINT resource;
};

constexpr TextOfCode kPulseTexts[] = {{0, 39027}, {1, 39028}, {2, 39026}, {10, 5},
                                      {11, 6},    {12, 7},    {13, 8},    {14, 9}};
constexpr TextOfCode kAntennaTexts[] = {{0, 16}, {1, 15}, {2, 14}, {3, 13}, {4, 12}, {5, 11}, {6, 10}};

const TextOfCode* Find(const TextOfCode* first, const TextOfCode* last, int code) {
  for (; first != last; ++first)
    if (first->code == code) return first;
  return nullptr;
}

CString LoadResourceText(UINT id) {
  const ResourceLibraryScope resources;
  CString text;
  text.LoadString(id);
  return text;
}

}  // namespace

CString FormatRangeLabel(SorVikRadar& radar, int rangeValue) {
  CString text;
  radar.FormatRange(text, rangeValue);
  return text + "/";
}

CString FormatIntervalLabel(SorVikRadar& radar, int rangeValue, int rangeUnit) {
  const double nauticalMiles = radar.GetRingInterval(rangeValue, rangeUnit);
  return FormatDistanceLabel(nauticalMiles * kRadiansPerNauticalMile, nauticalMiles < kFinerDistanceBelow);
}

CString GetPulseLabel(SorVikRadar& radar, int rangeValue, int pulse, int rangeUnit, int model) {
  const int code = radar.GetPulseLabelCode(rangeValue, pulse, rangeUnit, model);
  const TextOfCode* text = Find(std::begin(kPulseTexts), std::end(kPulseTexts), code);
  return text != nullptr ? LoadResourceText(text->resource) : CString();
}

CString GetAntennaLabel(int antenna) {
  const TextOfCode* text = Find(std::begin(kAntennaTexts), std::end(kAntennaTexts), antenna);
  return text != nullptr ? LoadResourceText(text->resource) : CString("UNKNOWN");
}

CString FormatDistanceLabel(double arc, bool finer) {
  _GenData::CDistHorizontaleRad distance;
  distance.SetValue(arc);
  _GenData::CFormat format;
  if (finer) format.SetProprieteDecimale(_GenData::CFormat::kDecimalAtMost, kFinerDecimals);
  return distance.ToString(format);
}

CString LoadRadarWord() { return LoadResourceText(kRadarWordResource); }

CString ImoRadarName(const CString& serviceName, const CString& word) {
  if (serviceName == kServiceRadarName) return word + "1";
  const std::string& name = serviceName.str();
  const std::size_t prefix = std::strlen(kServiceRadarName);
  if (name.compare(0, prefix, kServiceRadarName) != 0) return serviceName;
  // The number that follows the prefix; a name without one, or with one too large, keeps its text.
  long number = 0;
  const char* digits = name.data() + prefix;
  const auto [end, error] = std::from_chars(digits, name.data() + name.size(), number);
  if (error != std::errc() || end == digits || number == LONG_MAX) return serviceName;
  CString renamed;
  renamed.Format("%s%ld", word.GetString(), number + 1);
  return renamed;
}
