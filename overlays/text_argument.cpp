#include "overlays/text_argument.h"

#include <string_view>

CString FormatTextArgument(const CString& pattern, const CString& argument) {
  const std::string_view text(pattern.GetString(), static_cast<std::size_t>(pattern.GetLength()));
  CString result;
  bool argumentUsed = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char next = i + 1 < text.size() ? text[i + 1] : '\0';
    if (text[i] == '%' && next == '%') {
      result += '%';
      ++i;
    } else if (text[i] == '%' && next == 's' && !argumentUsed) {
      result += argument;
      argumentUsed = true;
      ++i;
    } else {
      result += text[i];
    }
  }
  return result;
}
