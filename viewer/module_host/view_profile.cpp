#include "viewer/module_host/view_profile.h"

#include <string>

#include "afxwin.h"

namespace {

constexpr const char* kHostSection = "Viewer";
constexpr int kMissing = -1;

std::string ViewSection(int index) { return std::string(kHostSection) + "\\View_" + std::to_string(index); }

std::optional<int> ReadInt(const std::string& section, const char* key, int low, int high) {
  CWinApp* app = AfxGetApp();
  if (!app) return std::nullopt;
  const int value = static_cast<int>(app->GetProfileInt(section.c_str(), key, kMissing));
  if (value < low || value > high) return std::nullopt;
  return value;
}

void WriteInt(const std::string& section, const char* key, int value) {
  if (CWinApp* app = AfxGetApp()) app->WriteProfileInt(section.c_str(), key, value);
}

}  // namespace

int StoredViewCount() { return ReadInt(kHostSection, "Views", 0, kMaxViews).value_or(0); }

StoredView ReadStoredView(int index) {
  const std::string section = ViewSection(index);
  StoredView view;
  view.width = ReadInt(section, "Width", 1, kMaxViewSide);
  view.height = ReadInt(section, "Height", 1, kMaxViewSide);
  if (const auto mode = ReadInt(section, "Mode", 0, 2)) view.mode = static_cast<LightMode>(*mode);
  return view;
}

void StoreView(int index, int width, int height, LightMode mode) {
  const std::string section = ViewSection(index);
  WriteInt(section, "Width", width);
  WriteInt(section, "Height", height);
  WriteInt(section, "Mode", static_cast<int>(mode));
}

void StoreViewCount(int count) { WriteInt(kHostSection, "Views", count); }
