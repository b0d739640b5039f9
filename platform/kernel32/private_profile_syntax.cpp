#include "private_profile_syntax.h"

#include <algorithm>
#include <cstdio>

namespace {

// The longest line the store writes: a guard against values that would make the file unwieldy.
constexpr std::size_t kMaxLineLength = 1 << 24;
constexpr std::size_t kMaxSectionLength = 49;
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool IsBlank(char ch) { return ch == ' ' || ch == '\t' || ch == '\v' || ch == '\f' || ch == '\r' || ch == '\n'; }

bool IsControl(char ch) {
  const auto byte = static_cast<unsigned char>(ch);
  return byte < 0x20 || byte == 0x7f;
}

std::string_view TrimEnd(std::string_view text) {
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::size_t SkipBlanks(std::string_view text, std::size_t at) {
  while (at < text.size() && IsBlank(text[at])) ++at;
  return at;
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

ProfileLine ClassifyProfileLine(std::string_view line, bool first) {
  ProfileLine parsed;
  if (line.find('\0') != std::string_view::npos) return parsed;
  std::size_t start = (first && line.substr(0, kByteOrderMark.size()) == kByteOrderMark) ? kByteOrderMark.size() : 0;
  start = SkipBlanks(line, start);
  const std::string_view text = TrimEnd(line.substr(start));
  if (text.empty() || text.front() == ';' || text.front() == '#') return parsed;

  if (text.front() == '[') {
    const std::size_t close = text.find(']');
    if (close == std::string_view::npos) return parsed;
    parsed.kind = ProfileLineKind::kSection;
    parsed.name = text.substr(1, close - 1);
    return parsed;
  }

  const std::size_t delimiter = text.find_first_of("=:");
  if (delimiter == std::string_view::npos) return parsed;
  const std::string_view key = TrimEnd(text.substr(0, delimiter));
  if (key.empty()) return parsed;
  parsed.kind = ProfileLineKind::kEntry;
  parsed.name = key;
  // Blanks after the delimiter belong to neither side; an empty value starts where the text ends.
  const std::size_t textEnd = start + text.size();
  parsed.valueStart = std::min(SkipBlanks(line, start + delimiter + 1), textEnd);
  parsed.value = line.substr(parsed.valueStart, textEnd - parsed.valueStart);
  return parsed;
}

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
  return key.size() + 1 + EncodeProfileValue(value).size() <= kMaxLineLength;
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

char FoldProfileCase(char ch) { return (ch >= 'A' && ch <= 'Z') ? static_cast<char>(ch - 'A' + 'a') : ch; }

std::string FoldedProfileName(std::string_view name) {
  std::string folded(name);
  std::transform(folded.begin(), folded.end(), folded.begin(), FoldProfileCase);
  return folded;
}

bool EqualProfileNames(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return FoldProfileCase(x) == FoldProfileCase(y);
         });
}
