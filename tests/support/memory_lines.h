#pragma once
// Line features written as GeoJSON into GDAL's memory file system, for charts made by a test or a
// benchmark; removed with the object.
#include <cpl_vsi.h>

#include <cstdio>
#include <string>
#include <vector>

struct LinePoint {
  double longitude, latitude;  // degrees
};
using ChartLine = std::vector<LinePoint>;

class MemoryLines {
public:
  MemoryLines(const std::string& name, const std::vector<ChartLine>& lines) : path_("/vsimem/" + name + ".geojson") {
    std::string text = R"({"type":"FeatureCollection","features":[)";
    char number[64];
    for (std::size_t i = 0; i < lines.size(); ++i) {
      text += i == 0 ? "" : ",";
      text += R"({"type":"Feature","properties":{},"geometry":{"type":"LineString","coordinates":[)";
      for (std::size_t j = 0; j < lines[i].size(); ++j) {
        std::snprintf(number, sizeof number, "%s[%.7f,%.7f]", j == 0 ? "" : ",", lines[i][j].longitude,
                      lines[i][j].latitude);
        text += number;
      }
      text += "]}}";
    }
    text += "]}";
    VSILFILE* file = VSIFileFromMemBuffer(path_.c_str(), nullptr, 0, TRUE);
    VSIFWriteL(text.data(), 1, text.size(), file);
    VSIFCloseL(file);
  }
  ~MemoryLines() { VSIUnlink(path_.c_str()); }
  MemoryLines(const MemoryLines&) = delete;
  MemoryLines& operator=(const MemoryLines&) = delete;

  const std::string& Path() const { return path_; }

private:
  std::string path_;
};
