#include "private_profile_document.h"

#include <algorithm>

#include "private_profile_syntax.h"

namespace {

// True when `name` lies below `parent` in the backslash-separated section hierarchy.
bool IsBelow(std::string_view name, std::string_view parent) {
  return name.size() > parent.size() + 1 && name[parent.size()] == '\\' &&
         EqualProfileNames(name.substr(0, parent.size()), parent);
}

bool EndsWithCarriageReturn(const std::string& text) { return !text.empty() && text.back() == '\r'; }

}  // namespace

void ProfileDocument::Parse(std::string_view text) {
  lines_.clear();
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t feed = text.find('\n', at);
    const bool terminated = feed != std::string_view::npos;
    const std::size_t end = terminated ? feed : text.size();
    lines_.push_back(Line{std::string(text.substr(at, end - at)), terminated, false});
    at = terminated ? feed + 1 : end;
  }
  Reindex();
}

std::string ProfileDocument::Serialize() const {
  std::size_t size = 0;
  for (const Line& line : lines_) size += line.text.size() + 1;
  std::string text;
  text.reserve(size);
  for (const Line& line : lines_) {
    text += line.text;
    if (line.terminated) text += '\n';
  }
  return text;
}

void ProfileDocument::Reindex() {
  sections_.clear();
  sectionIndex_.clear();
  Section* current = nullptr;
  // A block repeating a section read earlier adds the keys that section did not have yet.
  bool currentIsFirstBlock = false;
  for (auto line = lines_.begin(); line != lines_.end(); ++line) {
    const ProfileLine parsed = ClassifyProfileLine(line->text, line == lines_.begin());
    line->isHeading = parsed.kind == ProfileLineKind::kSection;
    if (parsed.kind == ProfileLineKind::kSection) {
      current = FindSection(parsed.name);
      currentIsFirstBlock = current == nullptr;
      if (!current) current = &AddSection(parsed.name, line);
      else current->headings.push_back(line);
      continue;
    }
    if (parsed.kind != ProfileLineKind::kEntry) continue;
    if (!current) {
      // Entries before the first heading belong to the unnamed section.
      current = &AddSection("", line);
      current->headings.clear();
      currentIsFirstBlock = true;
    }
    if (currentIsFirstBlock) current->insertAfter = line;
    const std::string folded = FoldedProfileName(parsed.name);
    if (current->entryIndex.count(folded) != 0) continue;
    current->entryIndex.emplace(folded, current->entries.size());
    current->entries.push_back(Entry{std::string(parsed.name), DecodeProfileValue(parsed.value), line});
  }
}

ProfileDocument::Section& ProfileDocument::AddSection(std::string_view name, LineRef heading) {
  sectionIndex_.emplace(FoldedProfileName(name), sections_.size());
  Section& added = sections_.emplace_back();
  added.name = std::string(name);
  added.headings.push_back(heading);
  added.insertAfter = heading;
  return added;
}

ProfileDocument::Section* ProfileDocument::FindSection(std::string_view name) {
  const auto found = sectionIndex_.find(FoldedProfileName(name));
  return found == sectionIndex_.end() ? nullptr : &sections_[found->second];
}

const ProfileDocument::Section* ProfileDocument::FindSection(std::string_view name) const {
  const auto found = sectionIndex_.find(FoldedProfileName(name));
  return found == sectionIndex_.end() ? nullptr : &sections_[found->second];
}

const std::string* ProfileDocument::FindValue(std::string_view section, std::string_view key) const {
  const Section* found = FindSection(section);
  if (!found) return nullptr;
  const auto entry = found->entryIndex.find(FoldedProfileName(key));
  return entry == found->entryIndex.end() ? nullptr : &found->entries[entry->second].value;
}

std::vector<std::string> ProfileDocument::SectionNames() const {
  std::vector<std::string> names;
  for (const Section& section : sections_)
    if (!section.name.empty() && !section.entries.empty()) names.push_back(section.name);
  return names;
}

std::vector<std::string> ProfileDocument::KeyNames(std::string_view section) const {
  std::vector<std::string> names;
  if (const Section* found = FindSection(section))
    for (const Entry& entry : found->entries) names.push_back(entry.key);
  return names;
}

ProfileDocument::LineRef ProfileDocument::InsertLine(LineRef after, std::string text) {
  // A line appended after an unterminated last line needs that line ended first; a file written with
  // carriage returns gets them on the new line too.
  after->terminated = true;
  if (EndsWithCarriageReturn(after->text)) text += '\r';
  return lines_.insert(std::next(after), Line{std::move(text), true, false});
}

bool ProfileDocument::SetValue(std::string_view section, std::string_view key, std::string_view value) {
  Section* target = FindSection(section);
  if (!target) {
    AppendSection(section, key, value);
    return true;
  }
  const std::string folded = FoldedProfileName(key);
  if (const auto found = target->entryIndex.find(folded); found != target->entryIndex.end()) {
    Entry& entry = target->entries[found->second];
    if (entry.value == value) return false;
    // The key, its spelling and whatever precedes the value stay; the value and a carriage return that
    // ended the line are all that is written.
    std::string& text = entry.line->text;
    const bool carriageReturn = EndsWithCarriageReturn(text);
    std::string rewritten = text.substr(0, ClassifyProfileLine(text, entry.line == lines_.begin()).valueStart);
    rewritten += EncodeProfileValue(value);
    if (carriageReturn) rewritten += '\r';
    text = std::move(rewritten);
    entry.value = std::string(value);
    return true;
  }
  const LineRef line = InsertLine(target->insertAfter, std::string(key) + "=" + EncodeProfileValue(value));
  target->insertAfter = line;
  target->entryIndex.emplace(folded, target->entries.size());
  target->entries.push_back(Entry{std::string(key), std::string(value), line});
  return true;
}

void ProfileDocument::AppendSection(std::string_view section, std::string_view key, std::string_view value) {
  LineRef last = lines_.empty() ? lines_.end() : std::prev(lines_.end());
  const auto append = [&](std::string text) {
    last = last == lines_.end() ? lines_.insert(lines_.end(), Line{std::move(text), true, false})
                                : InsertLine(last, std::move(text));
  };
  // A blank line keeps a new section apart from the text before it.
  if (last != lines_.end() && last->text.find_first_not_of(" \t\r\v\f") != std::string::npos) append("");
  append("[" + std::string(section) + "]");
  last->isHeading = true;
  Section& added = AddSection(section, last);
  append(std::string(key) + "=" + EncodeProfileValue(value));
  added.insertAfter = last;
  added.entryIndex.emplace(FoldedProfileName(key), 0);
  added.entries.push_back(Entry{std::string(key), std::string(value), last});
}

bool ProfileDocument::EraseKey(std::string_view section, std::string_view key) {
  Section* target = FindSection(section);
  if (!target) return false;
  const auto found = target->entryIndex.find(FoldedProfileName(key));
  if (found == target->entryIndex.end()) return false;
  lines_.erase(target->entries[found->second].line);
  // A later duplicate of the key, if any, is now the one read.
  Reindex();
  return true;
}

void ProfileDocument::EraseBlocks(const Section& section) {
  for (LineRef heading : section.headings) {
    LineRef end = std::next(heading);
    while (end != lines_.end() && !end->isHeading) ++end;
    lines_.erase(heading, end);
  }
}

bool ProfileDocument::EraseSection(std::string_view section) {
  const Section* target = FindSection(section);
  if (!target || target->headings.empty()) return false;
  EraseBlocks(*target);
  Reindex();
  return true;
}

int ProfileDocument::EraseSectionTree(std::string_view section) {
  int erased = 0;
  for (const Section& candidate : sections_) {
    if (candidate.headings.empty()) continue;
    if (!EqualProfileNames(candidate.name, section) && !IsBelow(candidate.name, section)) continue;
    EraseBlocks(candidate);
    ++erased;
  }
  if (erased > 0) Reindex();
  return erased;
}
