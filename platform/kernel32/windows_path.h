#pragma once
// Windows file names on this system: backslashes are folder separators, and "..\FOLDER\" segments are
// resolved by name, as Windows does, not through the file system.
#include <string>

// `path` with every backslash turned into a slash. An absolute or folder-relative name (one with a
// separator) becomes absolute (relative ones against the current folder) with "." and ".." segments
// resolved by name; a bare file name is left bare for the caller's search.
std::string ToNativePath(const char* path);
// True when `path` names a folder as well as a file, with either kind of separator.
bool HasFolderPart(const char* path);
// The folder of a native path, with its trailing slash; empty for a bare name.
std::string FolderOf(const std::string& nativePath);
