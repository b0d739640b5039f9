#include "extensions/kernel32.h"
#include "winbase.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "private_profile_document.h"
#include "private_profile_store.h"
#include "private_profile_syntax.h"

namespace {

std::string FileNameOf(LPCSTR fileName) { return fileName ? fileName : ""; }

// Copies a list of names into `buffer` as Windows does: each name with its terminator, then one more
// terminator; a list that does not fit is cut and still ends with two terminators.
DWORD CopyNameList(const std::vector<std::string>& names, LPSTR buffer, DWORD size) {
  if (size < 2) {
    buffer[0] = '\0';
    return 0;
  }
  std::string list;
  for (const std::string& name : names) list.append(name).push_back('\0');
  if (list.size() + 1 <= size) {
    std::memcpy(buffer, list.data(), list.size());
    buffer[list.size()] = '\0';
    return static_cast<DWORD>(list.size());
  }
  std::memcpy(buffer, list.data(), size - 2);
  buffer[size - 2] = '\0';
  buffer[size - 1] = '\0';
  return size - 2;
}

DWORD CopyText(const std::string& text, LPSTR buffer, DWORD size) {
  const std::size_t copied = std::min<std::size_t>(text.size(), size - 1);
  std::memcpy(buffer, text.data(), copied);
  buffer[copied] = '\0';
  return static_cast<DWORD>(copied);
}

// Decimal, or hexadecimal after "0x"; wraps in 32 bits as Windows' integer reader does.
UINT ParseProfileInteger(const std::string& text) {
  std::size_t at = text.find_first_not_of(" \t");
  if (at == std::string::npos) return 0;
  bool negative = false;
  if (text[at] == '-' || text[at] == '+') negative = text[at++] == '-';
  unsigned base = 10;
  if (text.compare(at, 2, "0x") == 0 || text.compare(at, 2, "0X") == 0) {
    base = 16;
    at += 2;
  }
  std::uint32_t value = 0;
  for (; at < text.size(); ++at) {
    const char ch = text[at];
    unsigned digit;
    if (ch >= '0' && ch <= '9') digit = static_cast<unsigned>(ch - '0');
    else if (base == 16 && ch >= 'a' && ch <= 'f') digit = static_cast<unsigned>(ch - 'a' + 10);
    else if (base == 16 && ch >= 'A' && ch <= 'F') digit = static_cast<unsigned>(ch - 'A' + 10);
    else break;
    if (digit >= base) break;
    value = value * base + digit;
  }
  return negative ? 0u - value : value;
}

}  // namespace

bool ReadPrivateProfileValue(LPCSTR section, LPCSTR key, std::string& value, LPCSTR fileName) {
  if (!section || !key) return false;
  bool found = false;
  ReadProfile(FileNameOf(fileName), [&](const ProfileDocument& document) {
    if (const std::string* stored = document.FindValue(section, key)) {
      value = *stored;
      found = true;
    }
  });
  return found;
}

bool ListPrivateProfileKeys(LPCSTR section, std::vector<std::string>& keys, LPCSTR fileName) {
  if (!section) return false;
  return ReadProfile(FileNameOf(fileName),
                     [&](const ProfileDocument& document) { keys = document.KeyNames(section); });
}

DWORD GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR defaultText, LPSTR buffer, DWORD size,
                               LPCSTR fileName) {
  if (!buffer || size == 0) return 0;
  if (!section || !key) {
    std::vector<std::string> names;
    ReadProfile(FileNameOf(fileName), [&](const ProfileDocument& document) {
      names = section ? document.KeyNames(section) : document.SectionNames();
    });
    return CopyNameList(names, buffer, size);
  }
  std::string value;
  if (!ReadPrivateProfileValue(section, key, value, fileName)) value = defaultText ? defaultText : "";
  return CopyText(value, buffer, size);
}

UINT GetPrivateProfileIntA(LPCSTR section, LPCSTR key, int defaultValue, LPCSTR fileName) {
  std::string value;
  if (!ReadPrivateProfileValue(section, key, value, fileName) || value.empty())
    return static_cast<UINT>(defaultValue);
  return ParseProfileInteger(value);
}

BOOL WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR fileName) {
  if (!section || !IsStorableSectionName(section)) return FALSE;
  if (key && !IsStorableEntry(key, value ? value : "")) return FALSE;
  const bool written = UpdateProfile(FileNameOf(fileName), [&](ProfileDocument& document) {
    if (!key) return document.EraseSection(section);
    if (!value) return document.EraseKey(section, key);
    return document.SetValue(section, key, value);
  });
  return written ? TRUE : FALSE;
}

int DeletePrivateProfileSectionTree(LPCSTR section, LPCSTR fileName) {
  if (!section || !*section) return -1;
  int deleted = 0;
  const bool written = UpdateProfile(FileNameOf(fileName), [&](ProfileDocument& document) {
    deleted = document.EraseSectionTree(section);
    return deleted > 0;
  });
  return written ? deleted : -1;
}
