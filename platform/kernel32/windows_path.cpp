#include "windows_path.h"

#include <cstring>
#include <filesystem>
#include <system_error>

bool HasFolderPart(const char* path) { return path && std::strpbrk(path, "\\/") != nullptr; }

std::string ToNativePath(const char* path) {
  if (!path) return {};
  std::string native(path);
  for (char& ch : native)
    if (ch == '\\') ch = '/';
  if (!HasFolderPart(path)) return native;
  std::error_code error;
  std::filesystem::path full = std::filesystem::absolute(native, error);
  if (error) full = native;
  return full.lexically_normal().string();
}

std::string FolderOf(const std::string& nativePath) {
  const auto slash = nativePath.rfind('/');
  return slash == std::string::npos ? std::string() : nativePath.substr(0, slash + 1);
}
