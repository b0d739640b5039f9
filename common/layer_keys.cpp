#include "common/layer_keys.h"

#include <algorithm>

#include "common/name_hash.h"

namespace {
constexpr char kSeparator = '?';
}

ModuleLayerKey::ModuleLayerKey(const CString& module, const CString& item) {
  SetModule(module);
  SetItem(item);
}

std::int32_t ModuleLayerKey::SetModule(const CString& module) {
  module_ = module;
  moduleHash_ = NameHash(module_.str());
  return moduleHash_;
}

std::int32_t ModuleLayerKey::SetItem(const CString& item) {
  item_ = item;
  itemHash_ = NameHash(item_.str());
  return itemHash_;
}

bool ModuleLayerKey::MatchesModule(const CString& module) const { return NameHash(module.str()) == moduleHash_; }

std::int32_t ModuleLayerKey::Sum() const {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(itemHash_) + static_cast<std::uint32_t>(moduleHash_));
}

bool ToText(const ModuleLayerKey& key, CString& text) {
  text = key.GetModule() + kSeparator + key.GetItem();
  return true;
}

bool FromText(const CString& text, ModuleLayerKey& key) {
  const int separator = text.Find(kSeparator);
  if (text.IsEmpty() || separator < 0) return false;
  key.SetModule(text.Left(separator));
  key.SetItem(text.Mid(separator + 1));
  return true;
}

bool ModuleLayerKeyValue::operator==(const ModuleLayerKeyValue& other) const {
  return key_ == other.key_ && value_ == other.value_;
}

bool ModuleLayerKeyValue::operator<(const ModuleLayerKeyValue& other) const {
  if (key_ < other.key_) return true;
  if (other.key_ < key_) return false;
  return value_ < other.value_;
}

void ModuleLayerKeyList::RestoreOrder() {
  std::sort(keys_.begin(), keys_.end());
  keys_.erase(std::unique(keys_.begin(), keys_.end()), keys_.end());
}

void ModuleLayerKeyList::Add(const ModuleLayerKey& key) {
  keys_.push_back(key);
  RestoreOrder();
}

void ModuleLayerKeyList::AddAll(const ModuleLayerKeyList& other) {
  // Through a copy: a list may be given itself, and a vector cannot insert its own elements.
  const std::vector<ModuleLayerKey> added = other.keys_;
  keys_.insert(keys_.end(), added.begin(), added.end());
  RestoreOrder();
}

void ModuleLayerKeyList::Remove(const ModuleLayerKey& key) {
  const auto found = std::find(keys_.begin(), keys_.end(), key);
  if (found != keys_.end()) keys_.erase(found);
}

void ModuleLayerKeyList::RemoveAll(const ModuleLayerKeyList& other) {
  // Walks a copy: a list given itself would otherwise erase under its own walk.
  const std::vector<ModuleLayerKey> removed = other.keys_;
  for (const ModuleLayerKey& key : removed) Remove(key);
}

void ModuleLayerKeyList::Assign(const ModuleLayerKeyList& other) {
  if (this == &other) return;
  keys_.clear();
  keys_ = other.keys_;
}

bool ModuleLayerKeyList::Contains(const ModuleLayerKey& key) const {
  return std::find(keys_.begin(), keys_.end(), key) != keys_.end();
}

void ModuleLayerKeyList::Rewind() { cursor_ = 0; }

bool ModuleLayerKeyList::Next(ModuleLayerKey& key) {
  if (keys_.empty() || cursor_ >= keys_.size()) return false;
  key = keys_[cursor_++];
  return true;
}

void ModuleLayerKeyList::SelectModule(const CString& module, ModuleLayerKeyList& source,
                                      ModuleLayerKeyList& destination) {
  destination.keys_.clear();
  source.Rewind();
  ModuleLayerKey key;
  while (source.Next(key))
    if (key.MatchesModule(module)) destination.Add(key);
}
