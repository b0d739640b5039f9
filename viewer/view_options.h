#pragma once
// The viewer's command line.
#include <string>

struct ViewerOptions {
  std::string modulePath;
  std::string profilePath;
  double seconds = 8.0;
  bool imoMode = false;
  int viewWidth = 1024;
  int viewHeight = 768;
  // Where the view is written at the end of the run.
  std::string pngPath = "radar-view.png";
  // Also write every N-th repaint (0: never), to numbered files beside pngPath.
  int pngEvery = 0;
};

// The largest view side the software device draws into.
inline constexpr int kMaxViewSide = 8192;

// Reads `argv` into `options` (which holds the defaults). False with a one-line reason in `error` on an
// unknown option, a missing or malformed value, or a value out of range.
bool ParseViewerOptions(int argc, const char* const* argv, ViewerOptions& options, std::string& error);

const char* ViewerUsage();
