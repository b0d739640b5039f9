// CString::LoadString: strings come from the module state's current resource source.
#include <string>

#include "afxstr.h"
#include "afxwin.h"
#include "winuser.h"

namespace {
// A string resource holds at most 65535 characters, so this buffer always suffices.
constexpr int kLargestBuffer = 65536;
}  // namespace

BOOL CString::LoadString(UINT id) {
  text_.clear();
  const HINSTANCE resources = AfxGetResourceHandle();
  if (!resources) return FALSE;
  // Grow the buffer until the text is no longer cut to fit.
  for (int size = 256;; size *= 2) {
    std::string buffer(static_cast<std::size_t>(size), '\0');
    const int length = ::LoadStringA(resources, id, buffer.data(), size);
    if (length <= 0) return FALSE;
    if (length < size - 1 || size >= kLargestBuffer) {
      text_.assign(buffer.data(), static_cast<std::size_t>(length));
      return TRUE;
    }
  }
}
