#pragma once
// Writes a view to a PNG file as the user sees it: opaque 8-bit RGB. The alpha of the view's pixels is
// dropped, since a view on screen shows no transparency.
#include <string>

#include "extensions/d3d9.h"

// The view encoded as a PNG in memory; false with the reason in `error` when it cannot be.
bool EncodePng(const ViewSurface& view, std::string& encoded, std::string& error);

// False with the reason in `error` when the file cannot be written; no partial file is left then.
bool WritePng(const ViewSurface& view, const std::string& path, std::string& error);

// Whether a file could be created at `path` (its folder exists and takes files; an existing file is
// writable), so that a run can refuse a bad path before it starts rather than at its end.
bool CanWriteFile(const std::string& path, std::string& error);

// `path` with `-NNNN` (the number `index`, at least four digits) before its extension.
std::string NumberedPath(const std::string& path, int index);
