#include "winuser.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "extensions/kernel32.h"

int LoadStringA(HINSTANCE instance, UINT id, LPSTR buffer, int bufferMax) {
  if (!buffer || bufferMax <= 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  buffer[0] = '\0';
  std::string_view text;
  if (!FindStringResource(instance, id, text)) return 0;
  const std::size_t length = std::min(text.size(), static_cast<std::size_t>(bufferMax) - 1);
  std::memcpy(buffer, text.data(), length);
  buffer[length] = '\0';
  return static_cast<int>(length);
}
