#include "viewer/path_checks.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace {

// Regular, or absent when `mayBeAbsent`; links are followed, as the run's own opening of the file does.
bool IsPlainFile(const NamedPath& named, bool mayBeAbsent, std::string& error) {
  struct stat status {};
  if (stat(named.path.c_str(), &status) != 0) {
    if (mayBeAbsent && errno == ENOENT) return true;
    error = "cannot use " + named.path + " (" + named.what + "): " + std::strerror(errno);
    return false;
  }
  if (S_ISREG(status.st_mode)) return true;
  error = "cannot use " + named.path + " (" + named.what + "): it is not a regular file";
  return false;
}

// The file a path ends at, so that two spellings of one file (links, "..", relative) compare equal.
std::string Identity(const std::string& path) {
  std::error_code ignored;
  const std::filesystem::path resolved = std::filesystem::weakly_canonical(std::filesystem::absolute(path, ignored), ignored);
  return resolved.empty() ? path : resolved.string();
}

}  // namespace

bool CheckRunPaths(const std::vector<NamedPath>& inputs, const std::vector<NamedPath>& outputs, std::string& error) {
  for (const NamedPath& input : inputs)
    if (!input.path.empty() && !IsPlainFile(input, false, error)) return false;
  for (std::size_t i = 0; i < outputs.size(); ++i) {
    const NamedPath& output = outputs[i];
    if (output.path.empty()) continue;
    if (!IsPlainFile(output, true, error)) return false;
    const std::string identity = Identity(output.path);
    for (const NamedPath& input : inputs) {
      if (!input.path.empty() && Identity(input.path) == identity) {
        error = output.what + " " + output.path + " would overwrite " + input.what;
        return false;
      }
    }
    for (std::size_t j = 0; j < i; ++j) {
      if (!outputs[j].path.empty() && Identity(outputs[j].path) == identity) {
        error = output.what + " and " + outputs[j].what + " name the same file " + output.path;
        return false;
      }
    }
  }
  return true;
}
