#include "services/radar/nmea_sentence.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <optional>

namespace radarsim {
namespace {

using Status = NmeaSentence::Status;

std::optional<int> HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return std::nullopt;
}

// The text between the start character and `*`, when the checksum after `*` matches it.
std::optional<std::string_view> CheckedBody(std::string_view sentence) {
  if (sentence.empty() || (sentence.front() != '$' && sentence.front() != '!')) return std::nullopt;
  const std::size_t star = sentence.rfind('*');
  if (star == std::string_view::npos || star + 3 != sentence.size()) return std::nullopt;
  const auto high = HexDigit(sentence[star + 1]);
  const auto low = HexDigit(sentence[star + 2]);
  if (!high || !low) return std::nullopt;
  const std::string_view body = sentence.substr(1, star - 1);
  unsigned sum = 0;
  for (const char c : body) sum ^= static_cast<unsigned char>(c);
  if (sum != static_cast<unsigned>(*high << 4 | *low)) return std::nullopt;
  return body;
}

std::vector<std::string_view> SplitFields(std::string_view body) {
  std::vector<std::string_view> fields;
  fields.reserve(static_cast<std::size_t>(std::count(body.begin(), body.end(), ',')) + 1);
  for (std::size_t start = 0;;) {
    const std::size_t comma = body.find(',', start);
    fields.push_back(body.substr(start, comma - start));
    if (comma == std::string_view::npos) return fields;
    start = comma + 1;
  }
}

// A plain non-negative decimal number taking up the whole field.
std::optional<double> Number(std::string_view field) {
  if (field.empty() || !(std::isdigit(static_cast<unsigned char>(field.front())) || field.front() == '.')) {
    return std::nullopt;
  }
  double value = 0.0;
  const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
  if (error != std::errc() || end != field.data() + field.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

// Degrees and minutes run together (ddmm.mmmm); senders differ in leading zeros, so the minutes are the
// last two digits before the point.
std::optional<double> Angle(std::string_view value, std::string_view hemisphere, char positive, char negative,
                            double limit) {
  const auto number = Number(value);
  if (!number || hemisphere.size() != 1 || (hemisphere[0] != positive && hemisphere[0] != negative)) {
    return std::nullopt;
  }
  const double degrees = std::floor(*number / 100.0);
  const double minutes = *number - degrees * 100.0;
  const double angle = degrees + minutes / 60.0;
  if (minutes >= 60.0 || angle > limit) return std::nullopt;
  return hemisphere[0] == positive ? angle : -angle;
}

// Reads a position at `latitudeAt` (latitude, N/S, longitude, E/W) into `update`; false when it does not
// parse.
bool ReadPosition(const std::vector<std::string_view>& fields, std::size_t latitudeAt, NavigationUpdate& update) {
  if (fields.size() < latitudeAt + 4) return false;
  update.latitudeDegrees = Angle(fields[latitudeAt], fields[latitudeAt + 1], 'N', 'S', 90.0);
  update.longitudeDegrees = Angle(fields[latitudeAt + 2], fields[latitudeAt + 3], 'E', 'W', 180.0);
  return update.latitudeDegrees && update.longitudeDegrees;
}

NmeaSentence Navigation(NavigationUpdate update) { return {Status::kNavigation, update}; }
NmeaSentence Bad() { return {Status::kBad, {}}; }
NmeaSentence NoFix() { return {Status::kNoFix, {}}; }

// A position sentence: its fix is valid when `valid` says so; then the position must parse.
NmeaSentence PositionSentence(const std::vector<std::string_view>& fields, std::size_t latitudeAt, bool valid) {
  if (!valid) return NoFix();
  NavigationUpdate update;
  return ReadPosition(fields, latitudeAt, update) ? Navigation(update) : Bad();
}

bool FieldIs(const std::vector<std::string_view>& fields, std::size_t index, std::string_view value) {
  return index < fields.size() && fields[index] == value;
}

}  // namespace

std::vector<std::string_view> SplitSentences(std::string_view datagram) {
  std::vector<std::string_view> sentences;
  while (!datagram.empty()) {
    const std::size_t lineEnd = datagram.find('\n');
    std::string_view line = datagram.substr(0, lineEnd);
    datagram.remove_prefix(lineEnd == std::string_view::npos ? datagram.size() : lineEnd + 1);
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.remove_suffix(1);
    if (!line.empty()) sentences.push_back(line);
  }
  return sentences;
}

NmeaSentence ReadSentence(std::string_view sentence) {
  const auto body = CheckedBody(sentence);
  if (!body) return Bad();
  const std::vector<std::string_view> fields = SplitFields(*body);
  const std::string_view address = fields[0];
  if (address.size() < 3) return Bad();
  const std::string_view type = address.substr(address.size() - 3);
  if (sentence.front() == '!') return NoFix();

  if (type == "GLL") {
    // Latitude, N/S, longitude, E/W, time, status.
    if (fields.size() < 7) return Bad();
    return PositionSentence(fields, 1, FieldIs(fields, 6, "A"));
  }
  if (type == "RMC") {
    // Time, status, latitude, N/S, longitude, E/W, ...
    if (fields.size() < 7) return Bad();
    return PositionSentence(fields, 3, FieldIs(fields, 2, "A"));
  }
  if (type == "GGA") {
    // Time, latitude, N/S, longitude, E/W, fix quality, ...
    if (fields.size() < 7) return Bad();
    int quality = 0;
    const std::string_view field = fields[6];
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), quality);
    if (error != std::errc() || end != field.data() + field.size() || quality < 0) return Bad();
    return PositionSentence(fields, 2, quality > 0);
  }
  if (type == "HDT") {
    // Heading, T.
    if (fields.size() < 3 || fields[2] != "T") return Bad();
    if (fields[1].empty()) return NoFix();
    const auto heading = Number(fields[1]);
    if (!heading || *heading > 360.0) return Bad();
    NavigationUpdate update;
    update.headingDegrees = *heading == 360.0 ? 0.0 : *heading;
    return Navigation(update);
  }
  return NoFix();
}

}  // namespace radarsim
