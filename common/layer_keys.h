#pragma once
// Keys naming a module's layers and property sets: a module name and an item name, compared through
// the sum of their name hashes only. Lists of keys stay sorted by that sum and free of duplicates.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "afxstr.h"

class ModuleLayerKey {
public:
  ModuleLayerKey() = default;
  ModuleLayerKey(const CString& module, const CString& item);

  // Store a name and recompute its hash; the new hash is returned.
  std::int32_t SetModule(const CString& module);
  std::int32_t SetItem(const CString& item);
  const CString& GetModule() const { return module_; }
  const CString& GetItem() const { return item_; }
  const CString& GetLeading() const { return leading_; }
  std::int32_t GetModuleHash() const { return moduleHash_; }
  std::int32_t GetItemHash() const { return itemHash_; }

  // True when `module` hashes to this key's module hash.
  bool MatchesModule(const CString& module) const;

  // Item hash + module hash, wrapping in 32 bits: the key's identity and order.
  std::int32_t Sum() const;
  bool operator==(const ModuleLayerKey& other) const { return Sum() == other.Sum(); }
  bool operator<(const ModuleLayerKey& other) const { return Sum() < other.Sum(); }

private:
  CString leading_;
  CString module_;
  CString item_;
  std::int32_t itemHash_ = -1;
  std::int32_t moduleHash_ = -1;
};

// Text form "module?item". Always succeeds.
bool ToText(const ModuleLayerKey& key, CString& text);
// Parses "module?item", splitting at the first "?". False for an empty text or one without "?".
bool FromText(const CString& text, ModuleLayerKey& key);

class ModuleLayerKeyValue {
public:
  ModuleLayerKeyValue() = default;
  ModuleLayerKeyValue(const ModuleLayerKey& key, std::int32_t value) : key_(key), value_(value) {}
  const ModuleLayerKey& GetKey() const { return key_; }
  std::int32_t GetValue() const { return value_; }
  bool operator==(const ModuleLayerKeyValue& other) const;
  bool operator<(const ModuleLayerKeyValue& other) const;

private:
  ModuleLayerKey key_;
  std::int32_t value_ = -1;
};

class ModuleLayerKeyList {
public:
  void Add(const ModuleLayerKey& key);
  void AddAll(const ModuleLayerKeyList& other);
  // Erases the first key equal to `key`, if any.
  void Remove(const ModuleLayerKey& key);
  void RemoveAll(const ModuleLayerKeyList& other);
  void Assign(const ModuleLayerKeyList& other);
  bool Contains(const ModuleLayerKey& key) const;
  int Count() const { return static_cast<int>(keys_.size()); }

  // Cursor iteration: Rewind, then Next until it answers false.
  void Rewind();
  bool Next(ModuleLayerKey& key);

  // Fills `destination` with the keys of `source` that belong to `module`.
  static void SelectModule(const CString& module, ModuleLayerKeyList& source, ModuleLayerKeyList& destination);

  const std::vector<ModuleLayerKey>& Keys() const { return keys_; }

private:
  static constexpr std::size_t kNoCursor = static_cast<std::size_t>(-1);
  void RestoreOrder();

  std::vector<ModuleLayerKey> keys_;
  std::size_t cursor_ = kNoCursor;
};
