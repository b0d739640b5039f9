#include "kernel32/private_profile_document.h"

#include <ini.h>

#include <algorithm>
#include <cstdio>
#include <mutex>

namespace {

// libinih's build keeps its options in process-wide variables. The profile needs lines of any length
// (a heap buffer that grows) and values taken literally (no inline comments, no continuation lines).
// The options are set for each parse and put back afterwards, for any other user of the library.
constexpr int kMaxLineLength = 1 << 24;
// Room the parser needs besides the text of a line: line break, carriage return and terminator.
constexpr std::size_t kLineOverhead = 3;
constexpr std::size_t kMaxSectionLength = 49;

class ProfileParserOptions {
public:
  ProfileParserOptions()
      : lock_(Mutex()),
        useStack_(ini_use_stack),
        allowRealloc_(ini_allow_realloc),
        maxLine_(ini_max_line),
        inlineComments_(ini_allow_inline_comments),
        multiline_(ini_allow_multiline),
        noValue_(ini_allow_no_value),
        stopOnFirstError_(ini_stop_on_first_error) {
    ini_use_stack = false;
    ini_allow_realloc = true;
    ini_max_line = kMaxLineLength;
    ini_allow_inline_comments = false;
    ini_allow_multiline = false;
    ini_allow_no_value = false;
    ini_stop_on_first_error = false;
  }
  ~ProfileParserOptions() {
    ini_use_stack = useStack_;
    ini_allow_realloc = allowRealloc_;
    ini_max_line = maxLine_;
    ini_allow_inline_comments = inlineComments_;
    ini_allow_multiline = multiline_;
    ini_allow_no_value = noValue_;
    ini_stop_on_first_error = stopOnFirstError_;
  }
  ProfileParserOptions(const ProfileParserOptions&) = delete;
  ProfileParserOptions& operator=(const ProfileParserOptions&) = delete;

private:
  static std::mutex& Mutex() {
    static std::mutex mutex;
    return mutex;
  }

  std::lock_guard<std::mutex> lock_;
  bool useStack_;
  bool allowRealloc_;
  int maxLine_;
  bool inlineComments_;
  bool multiline_;
  bool noValue_;
  bool stopOnFirstError_;
};

int OnParsedEntry(void* user, const char* section, const char* key, const char* value) {
  if (section && key && value) static_cast<ProfileDocument*>(user)->AddParsedEntry(section, key, value);
  return 1;
}

char FoldCase(char ch) { return (ch >= 'A' && ch <= 'Z') ? static_cast<char>(ch - 'A' + 'a') : ch; }

bool EqualNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return FoldCase(x) == FoldCase(y); });
}

// True when `name` lies below `parent` in the backslash-separated section hierarchy.
bool IsBelow(std::string_view name, std::string_view parent) {
  return name.size() > parent.size() + 1 && name[parent.size()] == '\\' &&
         EqualNoCase(name.substr(0, parent.size()), parent);
}

bool IsBlank(char ch) { return ch == ' ' || ch == '\t' || ch == '\v' || ch == '\f' || ch == '\r' || ch == '\n'; }

bool IsControl(char ch) {
  const auto byte = static_cast<unsigned char>(ch);
  return byte < 0x20 || byte == 0x7f;
}

bool NeedsQuoting(std::string_view value) {
  if (value.empty()) return false;
  if (IsBlank(value.front()) || IsBlank(value.back()) || value.front() == '"') return true;
  return std::any_of(value.begin(), value.end(), [](char ch) { return IsControl(ch) && ch != '\t'; });
}

int HexDigit(char ch) {
  if (ch >= '0' && ch <= '9') return ch - '0';
  if (ch >= 'a' && ch <= 'f') return ch - 'a' + 10;
  if (ch >= 'A' && ch <= 'F') return ch - 'A' + 10;
  return -1;
}

}  // namespace

bool IsStorableSectionName(std::string_view name) {
  if (name.empty() || name.size() > kMaxSectionLength) return false;
  return name.find_first_of("]\r\n", 0) == std::string_view::npos && name.find('\0') == std::string_view::npos;
}

bool IsStorableKeyName(std::string_view name) {
  if (name.empty() || IsBlank(name.front()) || IsBlank(name.back())) return false;
  if (name.front() == ';' || name.front() == '#' || name.front() == '[') return false;
  if (name.find('\0') != std::string_view::npos) return false;
  return name.find_first_of("=:\r\n") == std::string_view::npos;
}

bool IsStorableEntry(std::string_view key, std::string_view value) {
  if (!IsStorableKeyName(key)) return false;
  const std::size_t lineLength = key.size() + 1 + EncodeProfileValue(value).size();
  return lineLength + kLineOverhead <= static_cast<std::size_t>(kMaxLineLength);
}

std::string EncodeProfileValue(std::string_view value) {
  if (!NeedsQuoting(value)) return std::string(value);
  std::string encoded = "\"";
  for (char ch : value) {
    switch (ch) {
      case '\\': encoded += "\\\\"; break;
      case '"': encoded += "\\\""; break;
      case '\n': encoded += "\\n"; break;
      case '\r': encoded += "\\r"; break;
      case '\t': encoded += "\\t"; break;
      default:
        if (IsControl(ch)) {
          char escape[5];
          std::snprintf(escape, sizeof escape, "\\x%02X", static_cast<unsigned char>(ch));
          encoded += escape;
        } else {
          encoded += ch;
        }
    }
  }
  encoded += '"';
  return encoded;
}

std::string DecodeProfileValue(std::string_view stored) {
  if (stored.size() < 2 || stored.front() != '"' || stored.back() != '"') return std::string(stored);
  const std::string_view inner = stored.substr(1, stored.size() - 2);
  std::string value;
  value.reserve(inner.size());
  for (std::size_t i = 0; i < inner.size(); ++i) {
    if (inner[i] != '\\' || i + 1 == inner.size()) {
      value += inner[i];
      continue;
    }
    const char escaped = inner[++i];
    switch (escaped) {
      case 'n': value += '\n'; break;
      case 'r': value += '\r'; break;
      case 't': value += '\t'; break;
      case '\\':
      case '"': value += escaped; break;
      case 'x':
        if (i + 2 < inner.size() && HexDigit(inner[i + 1]) >= 0 && HexDigit(inner[i + 2]) >= 0) {
          value += static_cast<char>(HexDigit(inner[i + 1]) * 16 + HexDigit(inner[i + 2]));
          i += 2;
          break;
        }
        [[fallthrough]];
      default:
        // Not one of ours: keep the text as it stands.
        value += '\\';
        value += escaped;
    }
  }
  return value;
}

bool ProfileDocument::Parse(const std::string& text) {
  sections_.clear();
  const ProfileParserOptions options;
  return ini_parse_string(text.c_str(), &OnParsedEntry, this) >= 0;
}

std::string ProfileDocument::Serialize() const {
  std::string text;
  for (const ProfileSection& section : sections_) {
    if (section.entries.empty()) continue;
    if (!text.empty()) text += '\n';
    // Entries read before any section heading belong to the unnamed section, written first.
    if (!section.name.empty()) text += "[" + section.name + "]\n";
    for (const ProfileEntry& entry : section.entries)
      text += entry.key + "=" + EncodeProfileValue(entry.value) + "\n";
  }
  return text;
}

const ProfileSection* ProfileDocument::FindSection(std::string_view section) const {
  for (const ProfileSection& candidate : sections_)
    if (EqualNoCase(candidate.name, section)) return &candidate;
  return nullptr;
}

ProfileSection* ProfileDocument::FindMutableSection(std::string_view section) {
  return const_cast<ProfileSection*>(FindSection(section));
}

const std::string* ProfileDocument::FindValue(std::string_view section, std::string_view key) const {
  const ProfileSection* found = FindSection(section);
  if (!found) return nullptr;
  for (const ProfileEntry& entry : found->entries)
    if (EqualNoCase(entry.key, key)) return &entry.value;
  return nullptr;
}

ProfileSection* ProfileDocument::SectionForWriting(std::string_view section) {
  if (ProfileSection* found = FindMutableSection(section)) return found;
  sections_.push_back(ProfileSection{std::string(section), {}});
  return &sections_.back();
}

bool ProfileDocument::SetValue(std::string_view section, std::string_view key, std::string_view value) {
  ProfileSection* target = SectionForWriting(section);
  for (ProfileEntry& entry : target->entries) {
    if (!EqualNoCase(entry.key, key)) continue;
    if (entry.value == value) return false;
    entry.value = value;
    return true;
  }
  target->entries.push_back(ProfileEntry{std::string(key), std::string(value)});
  return true;
}

bool ProfileDocument::EraseKey(std::string_view section, std::string_view key) {
  ProfileSection* target = FindMutableSection(section);
  if (!target) return false;
  const auto found = std::find_if(target->entries.begin(), target->entries.end(),
                                  [&](const ProfileEntry& entry) { return EqualNoCase(entry.key, key); });
  if (found == target->entries.end()) return false;
  target->entries.erase(found);
  return true;
}

bool ProfileDocument::EraseSection(std::string_view section) {
  const auto found = std::find_if(sections_.begin(), sections_.end(),
                                  [&](const ProfileSection& s) { return EqualNoCase(s.name, section); });
  if (found == sections_.end()) return false;
  sections_.erase(found);
  return true;
}

int ProfileDocument::EraseSectionTree(std::string_view section) {
  const auto removed = std::remove_if(sections_.begin(), sections_.end(), [&](const ProfileSection& s) {
    return EqualNoCase(s.name, section) || IsBelow(s.name, section);
  });
  const auto count = static_cast<int>(sections_.end() - removed);
  sections_.erase(removed, sections_.end());
  return count;
}

void ProfileDocument::AddParsedEntry(std::string_view section, std::string_view key, std::string_view value) {
  ProfileSection* target = SectionForWriting(section);
  for (const ProfileEntry& entry : target->entries)
    if (EqualNoCase(entry.key, key)) return;
  target->entries.push_back(ProfileEntry{std::string(key), DecodeProfileValue(value)});
}
