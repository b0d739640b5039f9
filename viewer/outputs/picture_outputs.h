#pragma once
// The run's pictures: every view at the end, at given moments and every N-th repaint, as PNG files in
// one folder (view-1.png, view-1-at-5.0s.png, view-1-0004.png), and the first view's radar alone as a
// GeoTIFF.
#include <string>
#include <vector>

#include "viewer/view_options.h"

class RadarView;

class PictureOutputs {
public:
  explicit PictureOutputs(const ViewerOptions& options);

  // Creates the folder and checks that every file can be written, before the run starts.
  bool Prepare(std::string& error);
  // After view `index` (from 0) repainted.
  bool AfterRepaint(int index, RadarView& view, std::string& error);
  // Writes the moments that `elapsedSeconds` has reached since the last call.
  bool AtTime(double elapsedSeconds, std::vector<RadarView*> views, std::string& error);
  bool AtEnd(std::vector<RadarView*> views, std::string& error);

  const std::vector<std::string>& Written() const { return written_; }
  const std::string& Folder() const { return folder_; }
  // The first view's final picture.
  std::string FinalPath(int index) const;

private:
  bool Write(RadarView& view, const std::string& path, std::string& error);

  std::string folder_;
  std::string firstFinalPath_;
  std::vector<double> times_;
  std::size_t nextTime_ = 0;
  int every_;
  std::string geotiffPath_;
  std::vector<std::string> written_;
};
