#pragma once
// The INI syntax of a profile, one line at a time: what a line is, which names can be written so that they
// read back unchanged, and how values that would not survive the syntax are quoted.
#include <cstddef>
#include <string>
#include <string_view>

enum class ProfileLineKind {
  kOther,    // blank, comment, or not INI syntax at all: kept as it stands, never interpreted
  kSection,  // "[name]"
  kEntry,    // "key=value" (or "key:value")
};

struct ProfileLine {
  ProfileLineKind kind = ProfileLineKind::kOther;
  std::string_view name;    // the section name, or the entry's key
  std::string_view value;   // the entry's value as stored, without surrounding blanks
  std::size_t valueStart = 0;  // where the stored value begins in the line (an entry's, else 0)
};

// Classifies one line of a profile, without its line feed. A line holding a NUL byte is not INI syntax.
// `first` tells the file's first line, whose UTF-8 byte order mark is skipped.
ProfileLine ClassifyProfileLine(std::string_view line, bool first);

// Names the store can write so that they read back unchanged. Sections: 1 to 49 bytes, no "]" and no line
// breaks. Keys: not empty, no "=", ":" or line breaks, no surrounding blanks, not starting with a comment
// mark or "[".
bool IsStorableSectionName(std::string_view name);
bool IsStorableKeyName(std::string_view name);
// A key that is storable and a value short enough to keep its line within the store's line limit.
bool IsStorableEntry(std::string_view key, std::string_view value);

// Values that would not survive the INI syntax (surrounding blanks, line breaks, control characters, a
// leading double quote) are written in double quotes with C-style escapes; everything else is written
// as it is. A value read in double quotes loses them, as Windows' profile reader does.
std::string EncodeProfileValue(std::string_view value);
std::string DecodeProfileValue(std::string_view stored);

// ASCII case folding, as Windows compares section and key names.
char FoldProfileCase(char ch);
std::string FoldedProfileName(std::string_view name);
bool EqualProfileNames(std::string_view a, std::string_view b);
