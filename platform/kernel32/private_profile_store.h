#pragma once
// The profile file on disk. A reader takes the file as it stands. A writer holds an exclusive lock on
// "<file>.lock" across reading, changing and replacing the file; it writes the new text to "<file>.tmp",
// flushes it to disk and renames it over the file. Readers therefore never see a half-written profile,
// a writer killed at any point leaves the previous profile whole, and writers in several threads or
// processes lose none of each other's changes.
#include <functional>
#include <string>

#include "kernel32/private_profile_document.h"

// Reads the profile at `path`; a missing file reads as an empty profile. False when the file exists but
// cannot be read.
bool LoadProfile(const std::string& path, ProfileDocument& document);

// Applies `change` to the current profile and, when `change` answers that it changed something,
// replaces the file, creating its folder when needed. False when the profile could not be read or
// written; the file is then as it was.
bool UpdateProfile(const std::string& path, const std::function<bool(ProfileDocument&)>& change);
