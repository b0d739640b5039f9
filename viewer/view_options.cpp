#include "viewer/view_options.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace {

bool ParseWhole(const char* text, int low, int high, int& value) {
  const char* end = text + std::strlen(text);
  int parsed = 0;
  const auto [stop, status] = std::from_chars(text, end, parsed);
  if (status != std::errc() || stop != end || parsed < low || parsed > high) return false;
  value = parsed;
  return true;
}

bool ParseSeconds(const char* text, double& value) {
  const char* end = text + std::strlen(text);
  double parsed = 0.0;
  const auto [stop, status] = std::from_chars(text, end, parsed);
  if (status != std::errc() || stop != end || !std::isfinite(parsed) || parsed < 0.0) return false;
  value = parsed;
  return true;
}

}  // namespace

bool ParseViewerOptions(int argc, const char* const* argv, ViewerOptions& options, std::string& error) {
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument == "--imo") {
      options.imoMode = true;
      continue;
    }
    const bool takesValue = argument == "--seconds" || argument == "--profile" || argument == "--module" ||
                            argument == "--width" || argument == "--height" || argument == "--png" ||
                            argument == "--png-every";
    if (!takesValue) {
      error = "unknown option " + argument;
      return false;
    }
    if (i + 1 >= argc) {
      error = argument + " needs a value";
      return false;
    }
    const char* value = argv[++i];
    bool valid = true;
    if (argument == "--seconds") {
      valid = ParseSeconds(value, options.seconds);
    } else if (argument == "--profile") {
      options.profilePath = value;
    } else if (argument == "--module") {
      options.modulePath = value;
    } else if (argument == "--width") {
      valid = ParseWhole(value, 1, kMaxViewSide, options.viewWidth);
    } else if (argument == "--height") {
      valid = ParseWhole(value, 1, kMaxViewSide, options.viewHeight);
    } else if (argument == "--png") {
      valid = *value != '\0';
      options.pngPath = value;
    } else {
      valid = ParseWhole(value, 1, 1000000, options.pngEvery);
    }
    if (!valid) {
      error = "bad value for " + argument + ": '" + value + "'";
      if (argument == "--width" || argument == "--height")
        error += " (a whole number from 1 to " + std::to_string(kMaxViewSide) + ")";
      return false;
    }
  }
  return true;
}

const char* ViewerUsage() {
  return "usage: sorvik_viewer [--seconds N] [--imo] [--profile FILE] [--module FILE]\n"
         "                     [--width PIXELS] [--height PIXELS] [--png FILE] [--png-every N]\n";
}
