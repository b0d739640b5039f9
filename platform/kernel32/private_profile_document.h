#pragma once
// The in-memory form of an INI profile: ordered sections of ordered key/value entries, section and key
// names compared ignoring (ASCII) case as Windows does. Text is parsed with libinih and written back in
// a form that libinih reads again to the same content.
#include <string>
#include <string_view>
#include <vector>

struct ProfileEntry {
  std::string key;
  std::string value;
};

struct ProfileSection {
  std::string name;
  std::vector<ProfileEntry> entries;
};

// Names the store can write so that they read back unchanged. Sections: 1 to 49 bytes (the parser's
// limit), no "]" and no line breaks. Keys: not empty, no "=", ":" or line breaks, no surrounding blanks,
// not starting with a comment mark or "[".
bool IsStorableSectionName(std::string_view name);
bool IsStorableKeyName(std::string_view name);
// A key that is storable and a value short enough to keep its line within the parser's line limit.
bool IsStorableEntry(std::string_view key, std::string_view value);

// Values that would not survive the INI syntax (surrounding blanks, line breaks, control characters, a
// leading double quote) are written in double quotes with C-style escapes; everything else is written
// as it is. A value read in double quotes loses them, as Windows' profile reader does.
std::string EncodeProfileValue(std::string_view value);
std::string DecodeProfileValue(std::string_view stored);

class ProfileDocument {
public:
  // Parses INI text. Lines that are not INI syntax are left out; false only when the parser could not
  // run at all.
  bool Parse(const std::string& text);
  std::string Serialize() const;

  const ProfileSection* FindSection(std::string_view section) const;
  // The value of `key` in `section`, or null.
  const std::string* FindValue(std::string_view section, std::string_view key) const;
  const std::vector<ProfileSection>& Sections() const { return sections_; }

  // Each change answers whether the document changed.
  bool SetValue(std::string_view section, std::string_view key, std::string_view value);
  bool EraseKey(std::string_view section, std::string_view key);
  bool EraseSection(std::string_view section);
  // Removes `section` and every section whose name starts with `section` and a backslash; answers how
  // many sections went.
  int EraseSectionTree(std::string_view section);

  // Adds an entry as read from a file: the first occurrence of a key wins, as on Windows.
  void AddParsedEntry(std::string_view section, std::string_view key, std::string_view value);

private:
  ProfileSection* FindMutableSection(std::string_view section);
  // The section of that name, appended empty when the document has none.
  ProfileSection* SectionForWriting(std::string_view section);

  std::vector<ProfileSection> sections_;
};
