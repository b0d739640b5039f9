#include "extensions/mfc.h"

#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <mutex>
#include <string>

namespace {

std::mutex& PathMutex() {
  static std::mutex mutex;
  return mutex;
}

std::string& ChosenPath() {
  static std::string path;
  return path;
}

std::string ExecutableName() {
  char target[4096];
  const ssize_t length = readlink("/proc/self/exe", target, sizeof target - 1);
  if (length <= 0) return program_invocation_short_name;
  const std::string path(target, static_cast<std::size_t>(length));
  return path.substr(path.rfind('/') + 1);
}

std::string HomeFolder() {
  if (const char* home = std::getenv("HOME"); home && *home) return home;
  passwd entry{};
  passwd* found = nullptr;
  char buffer[4096];
  if (getpwuid_r(getuid(), &entry, buffer, sizeof buffer, &found) == 0 && found && found->pw_dir)
    return found->pw_dir;
  return {};
}

std::string ConfigFolder() {
  if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && config[0] == '/') return config;
  const std::string home = HomeFolder();
  return home.empty() ? std::string() : home + "/.config";
}

std::string DefaultProfilePath() {
  const std::string folder = ConfigFolder();
  if (folder.empty()) return {};
  return folder + "/" + ExecutableName() + "/profile.ini";
}

}  // namespace

void AfxSetHostProfilePath(const char* path) {
  std::lock_guard<std::mutex> lock(PathMutex());
  ChosenPath() = path ? path : "";
}

CString AfxGetHostProfilePath() {
  {
    std::lock_guard<std::mutex> lock(PathMutex());
    if (!ChosenPath().empty()) return CString(ChosenPath());
  }
  return CString(DefaultProfilePath());
}
