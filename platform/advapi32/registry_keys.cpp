#include <mutex>
#include <string>
#include <unordered_set>

#include "advapi32/advapi32.h"
#include "advapi32/profile_key.h"
#include "kernel32/private_profile.h"
#include "kernel32/private_profile_document.h"

struct HKEY__ {
  std::string profileFile;
  std::string section;
};

namespace {

// Handles handed out and not yet closed, so that a stale or foreign handle is refused, not followed.
class OpenKeys {
public:
  HKEY Add(HKEY key) {
    std::lock_guard<std::mutex> lock(mutex_);
    keys_.insert(key);
    return key;
  }
  // A copy of the key's names, or false when `key` is not open.
  bool Lookup(HKEY key, HKEY__& names) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!keys_.count(key)) return false;
    names = *key;
    return true;
  }
  bool Remove(HKEY key) {
    std::lock_guard<std::mutex> lock(mutex_);
    return keys_.erase(key) != 0;
  }

private:
  std::mutex mutex_;
  std::unordered_set<HKEY> keys_;
};

OpenKeys& Keys() {
  static OpenKeys keys;
  return keys;
}

}  // namespace

HKEY OpenProfileSectionKey(LPCSTR profileFile, LPCSTR section) {
  if (!profileFile || !*profileFile || !section || !IsStorableSectionName(section)) return nullptr;
  return Keys().Add(new HKEY__{profileFile, section});
}

LONG RegDeleteKeyA(HKEY key, LPCSTR subKey) {
  if (!subKey) return ERROR_INVALID_PARAMETER;
  HKEY__ names;
  if (!Keys().Lookup(key, names)) return ERROR_INVALID_HANDLE;
  std::string target = names.section;
  if (*subKey) target += std::string("\\") + subKey;
  const int deleted = DeletePrivateProfileSectionTree(target.c_str(), names.profileFile.c_str());
  if (deleted < 0) return ERROR_REGISTRY_IO_FAILED;
  return deleted > 0 ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
}

LONG RegCloseKey(HKEY key) {
  if (!Keys().Remove(key)) return ERROR_INVALID_HANDLE;
  delete key;
  return ERROR_SUCCESS;
}
