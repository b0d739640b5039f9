#pragma once
// The profile file on disk, kept parsed in memory. A reader is answered from the parsed profile as long
// as the file on disk is the one that was parsed, and the file is read again only when it changed. A
// writer holds an exclusive lock on "<file>.lock" across reading, changing and replacing the file; it
// writes the new text to a temporary file of a unique name beside it, flushes it to disk and renames it
// over the file (a profile that is a link is written through to its target). Readers therefore
// never see a half-written profile, a writer killed at any point leaves the previous profile whole, and
// writers in several threads or processes lose none of each other's changes.
#include <functional>
#include <string>

#include "private_profile_document.h"

// Calls `read` with the current profile at `path`; a missing file reads as an empty profile. False, without
// calling `read`, when the file exists but cannot be read.
bool ReadProfile(const std::string& path, const std::function<void(const ProfileDocument&)>& read);

// Applies `change` to the current profile and, when `change` answers that it changed something,
// replaces the file, creating its folder when needed. False when the profile could not be read or
// written; the file is then as it was.
bool UpdateProfile(const std::string& path, const std::function<bool(ProfileDocument&)>& change);
