#pragma once
// The in-memory form of an INI profile. It keeps every line of the file as it was read, bytes the syntax
// does not understand included, and an index of the sections and entries found among them. A change
// rewrites, inserts or removes only the lines of what it changes, so the rest of the file survives byte
// for byte. Section and key names compare ignoring (ASCII) case, as Windows does; where a key or a section
// occurs twice, the first occurrence is the one read and written.
#include <cstddef>
#include <list>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class ProfileDocument {
public:
  ProfileDocument() = default;
  ProfileDocument(const ProfileDocument&) = delete;
  ProfileDocument& operator=(const ProfileDocument&) = delete;
  ProfileDocument(ProfileDocument&&) = default;
  ProfileDocument& operator=(ProfileDocument&&) = default;

  // Takes `text` whole, whatever bytes it holds.
  void Parse(std::string_view text);
  std::string Serialize() const;

  // The decoded value of `key` in `section`, or null.
  const std::string* FindValue(std::string_view section, std::string_view key) const;
  // Names of the named sections that hold entries, in file order, each once.
  std::vector<std::string> SectionNames() const;
  // Keys of `section` in file order, each once; empty for a missing section.
  std::vector<std::string> KeyNames(std::string_view section) const;

  // Each change answers whether the document changed. Names must be storable (private_profile_syntax.h).
  bool SetValue(std::string_view section, std::string_view key, std::string_view value);
  bool EraseKey(std::string_view section, std::string_view key);
  // Removes every block of `section`: its heading and the lines up to the next heading.
  bool EraseSection(std::string_view section);
  // Removes `section` and every section whose name starts with `section` and a backslash; answers how
  // many sections went.
  int EraseSectionTree(std::string_view section);

private:
  struct Line {
    std::string text;  // without its line feed
    bool terminated = true;  // false only for a last line without a line feed
    bool isHeading = false;
  };
  using LineList = std::list<Line>;
  using LineRef = LineList::iterator;

  struct Entry {
    std::string key;    // as first spelled in the file
    std::string value;  // decoded
    LineRef line;
  };

  struct Section {
    std::string name;  // as first spelled in the file
    std::vector<LineRef> headings;  // one per block; none for the text before the first heading
    std::vector<Entry> entries;     // the first occurrence of each key, in file order
    std::unordered_map<std::string, std::size_t> entryIndex;  // folded key -> position in entries
    LineRef insertAfter;            // where a new key goes: after the last entry of the first block
  };

  void Reindex();
  Section& AddSection(std::string_view name, LineRef heading);
  Section* FindSection(std::string_view name);
  const Section* FindSection(std::string_view name) const;
  LineRef InsertLine(LineRef after, std::string text);
  void AppendSection(std::string_view section, std::string_view key, std::string_view value);
  void EraseBlocks(const Section& section);

  LineList lines_;
  std::vector<Section> sections_;  // in order of first appearance
  std::unordered_map<std::string, std::size_t> sectionIndex_;  // folded name -> position in sections_
};
