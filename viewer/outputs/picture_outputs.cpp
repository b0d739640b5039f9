#include "viewer/outputs/picture_outputs.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "viewer/outputs/geotiff_file.h"
#include "viewer/outputs/png_file.h"
#include "viewer/module_host/radar_view.h"

namespace {

std::string ViewName(int index) { return "view-" + std::to_string(index + 1); }

}  // namespace

PictureOutputs::PictureOutputs(const ViewerOptions& options)
    : folder_(options.outputFolder),
      firstFinalPath_(options.pngPath),
      times_(options.pngTimes),
      every_(options.pngEvery),
      geotiffPath_(options.geotiffPath) {
  std::sort(times_.begin(), times_.end());
}

std::string PictureOutputs::FinalPath(int index) const {
  if (index == 0 && !firstFinalPath_.empty()) return firstFinalPath_;
  return (std::filesystem::path(folder_) / (ViewName(index) + ".png")).string();
}

bool PictureOutputs::Prepare(std::string& error) {
  std::error_code failure;
  std::filesystem::create_directories(folder_, failure);
  if (failure) {
    error = "cannot make the picture folder " + folder_ + ": " + failure.message();
    return false;
  }
  // The folder takes every view's pictures; the first view's final one and the GeoTIFF may lie elsewhere.
  const std::string inFolder = (std::filesystem::path(folder_) / (ViewName(0) + ".png")).string();
  for (const std::string& path : {inFolder, FinalPath(0), geotiffPath_}) {
    if (!path.empty() && !CanWriteFile(path, error)) return false;
  }
  return true;
}

bool PictureOutputs::Write(RadarView& view, const std::string& path, std::string& error) {
  if (!WritePng(view.Chart().Surface(), path, error)) return false;
  written_.push_back(path);
  return true;
}

bool PictureOutputs::AfterRepaint(int index, RadarView& view, std::string& error) {
  if (every_ == 0 || view.RepaintCount() % every_ != 0) return true;
  const std::string base = (std::filesystem::path(folder_) / (ViewName(index) + ".png")).string();
  return Write(view, NumberedPath(base, view.RepaintCount()), error);
}

bool PictureOutputs::AtTime(double elapsedSeconds, std::vector<RadarView*> views, std::string& error) {
  for (; nextTime_ < times_.size() && times_[nextTime_] <= elapsedSeconds; ++nextTime_) {
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, "-at-%.1fs.png", times_[nextTime_]);
    for (std::size_t i = 0; i < views.size(); ++i) {
      const std::string path = (std::filesystem::path(folder_) / (ViewName(static_cast<int>(i)) + suffix)).string();
      if (!Write(*views[i], path, error)) return false;
    }
  }
  return true;
}

bool PictureOutputs::AtEnd(std::vector<RadarView*> views, std::string& error) {
  for (std::size_t i = 0; i < views.size(); ++i)
    if (!Write(*views[i], FinalPath(static_cast<int>(i)), error)) return false;
  if (geotiffPath_.empty() || views.empty()) return true;
  RadarView& first = *views.front();
  const ChartProjection& projection = first.Chart().Projection();
  if (!WriteGeoTiff(geotiffPath_, projection.Width(), projection.Height(), first.RadarAlone(),
                    projection.GeoTransform(), error))
    return false;
  written_.push_back(geotiffPath_);
  return true;
}
