#include <cstdlib>

#include "gdiplusflat.h"

namespace Gdiplus::DllExports {

void* GdipAlloc(std::size_t size) { return std::malloc(size); }
void GdipFree(void* pointer) { std::free(pointer); }

}  // namespace Gdiplus::DllExports
