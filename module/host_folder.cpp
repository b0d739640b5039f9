#include "module/host_folder.h"

#include <algorithm>
#include <vector>

#include "winbase.h"

CString GetHostExecutableFolder(DWORD bufferLength) {
  if (bufferLength == 0) return CString();
  std::vector<char> buffer(bufferLength, '\0');
  const DWORD length = GetModuleFileNameA(nullptr, buffer.data(), bufferLength);
  if (length == 0 || length >= bufferLength) return CString();
  const CString name(buffer.data(), static_cast<int>(length));
  const int lastSeparator = std::max(name.ReverseFind('\\'), name.ReverseFind('/'));
  return name.Left(lastSeparator + 1);
}
