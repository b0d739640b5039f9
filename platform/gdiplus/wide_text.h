#pragma once
// Wide texts (one WCHAR per code point) as the UTF-8 that fontconfig and Pango take.
#include <string>

#include "windef.h"

namespace Gdiplus {

// `length` -1 for a null-terminated text. Values that are no code point become U+FFFD.
std::string Utf8FromWide(const WCHAR* text, INT length);

}  // namespace Gdiplus
