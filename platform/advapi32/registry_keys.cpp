#include <cstring>
#include <functional>
#include <mutex>
#include <string>
#include <unordered_set>
#include <vector>

#include "extensions/advapi32.h"
#include "extensions/kernel32.h"
#include "winreg.h"

struct HKEY__ {
  std::string profileFile;
  std::string section;
  std::vector<std::string> valueNames;  // the section's keys as an enumeration found them at index 0
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
  // Runs `use` on the open key itself, under the lock; false when `key` is not open.
  bool Use(HKEY key, const std::function<void(HKEY__&)>& use) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!keys_.count(key)) return false;
    use(*key);
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
  if (!profileFile || !*profileFile || !section || !IsStorableProfileSectionName(section)) return nullptr;
  return Keys().Add(new HKEY__{profileFile, section, {}});
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

LONG RegEnumValueA(HKEY key, DWORD index, LPSTR name, LPDWORD nameLength, LPDWORD reserved, LPDWORD type,
                   LPBYTE data, LPDWORD dataLength) {
  if (!name || !nameLength || reserved || type || data || dataLength) return ERROR_INVALID_PARAMETER;
  LONG result = ERROR_SUCCESS;
  const bool open = Keys().Use(key, [&](HKEY__& names) {
    if (index == 0 &&
        !ListPrivateProfileKeys(names.section.c_str(), names.valueNames, names.profileFile.c_str())) {
      result = ERROR_REGISTRY_IO_FAILED;
      return;
    }
    if (index >= names.valueNames.size()) {
      result = ERROR_NO_MORE_ITEMS;
      return;
    }
    const std::string& found = names.valueNames[index];
    if (found.size() + 1 > *nameLength) {
      *nameLength = static_cast<DWORD>(found.size());
      result = ERROR_MORE_DATA;
      return;
    }
    std::memcpy(name, found.c_str(), found.size() + 1);
    *nameLength = static_cast<DWORD>(found.size());
  });
  return open ? result : ERROR_INVALID_HANDLE;
}

LONG RegCloseKey(HKEY key) {
  if (!Keys().Remove(key)) return ERROR_INVALID_HANDLE;
  delete key;
  return ERROR_SUCCESS;
}
