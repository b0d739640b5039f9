#include <gtest/gtest.h>

#include <cstdint>

#include "common/layer_keys.h"
#include "common/name_hash.h"

namespace {

std::uint32_t Hash(const char* text) { return static_cast<std::uint32_t>(NameHash(text)); }

std::uint32_t Sum(const ModuleLayerKey& key) { return static_cast<std::uint32_t>(key.Sum()); }

std::vector<CString> Items(ModuleLayerKeyList& list) {
  std::vector<CString> items;
  ModuleLayerKey key;
  list.Rewind();
  while (list.Next(key)) items.push_back(key.GetItem());
  return items;
}

TEST(NameHash, MatchesTheValuesTheHostKnows) {
  EXPECT_EQ(Hash("RADAR_MODULE"), 0x1E26AAD3u);
  EXPECT_EQ(Hash("RADAR_LAYER"), 0x5ED40545u);
  EXPECT_EQ(Hash("TRAIL_LAYER"), 0x8E89F548u);
  EXPECT_EQ(Hash("RINGS_LAYER"), 0xF91320E3u);
  EXPECT_EQ(Hash("RADAR_IMO_PROPERTIES"), 0xE079537Du);
}

TEST(NameHash, IgnoresLetterCaseAndStartsFromMinusOne) {
  EXPECT_EQ(Hash("abc"), 0x5C8303B7u);
  EXPECT_EQ(Hash("ABC"), 0x5C8303B7u);
  EXPECT_EQ(NameHash(""), -1);
}

TEST(NameHash, TableIsTheReflectedCrc32Table) {
  EXPECT_EQ(NameHashTableEntry(0), 0u);
  EXPECT_EQ(NameHashTableEntry(1), 0x77073096u);
  EXPECT_EQ(NameHashTableEntry(255), 0x2D02EF8Du);
}

TEST(NameHash, ShiftsTheRunningValueArithmetically) {
  // One byte from h = -1: index = 'A' ^ 0xFF, and h >> 8 keeps the sign bits (0xFFFFFFFF), where a
  // logical shift would give 0x00FFFFFF.
  const std::uint32_t expected = NameHashTableEntry(static_cast<std::uint8_t>('A' ^ 0xFF)) ^ 0xFFFFFFFFu;
  EXPECT_EQ(Hash("A"), expected);
}

TEST(NameHash, UsesBytesAbove0x7FUnchanged) {
  const char high[] = {static_cast<char>(0xE9), 0};  // 'é' in Windows-1252
  const std::uint32_t expected = NameHashTableEntry(static_cast<std::uint8_t>(0xE9 ^ 0xFF)) ^ 0xFFFFFFFFu;
  EXPECT_EQ(Hash(high), expected);
}

TEST(ModuleLayerKey, DefaultKeyHasEmptyNamesAndMinusOneHashes) {
  const ModuleLayerKey key;
  EXPECT_TRUE(key.GetModule().IsEmpty());
  EXPECT_TRUE(key.GetItem().IsEmpty());
  EXPECT_TRUE(key.GetLeading().IsEmpty());
  EXPECT_EQ(key.GetModuleHash(), -1);
  EXPECT_EQ(key.GetItemHash(), -1);
  // An empty name hashes like a default key.
  EXPECT_EQ(key, ModuleLayerKey("", ""));
}

TEST(ModuleLayerKey, ComparesThroughTheHashSumOnly) {
  EXPECT_EQ(ModuleLayerKey("radar_module", "trail_layer"), ModuleLayerKey("RADAR_MODULE", "TRAIL_LAYER"));
  EXPECT_FALSE(ModuleLayerKey("RADAR_MODULE", "TRAIL_LAYER") == ModuleLayerKey("RADAR_MODULE", "RINGS_LAYER"));
  // Swapping module and item gives the same sum, hence the same key.
  EXPECT_EQ(ModuleLayerKey("RADAR_MODULE", "TRAIL_LAYER"), ModuleLayerKey("TRAIL_LAYER", "RADAR_MODULE"));
  EXPECT_EQ(Sum(ModuleLayerKey("RADAR_MODULE", "TRAIL_LAYER")), 0xACB0A01Bu);
  EXPECT_LT(ModuleLayerKey("RADAR_MODULE", "TRAIL_LAYER"), ModuleLayerKey("RADAR_MODULE", "RINGS_LAYER"));
}

TEST(ModuleLayerKey, SettersRecomputeTheirHash) {
  ModuleLayerKey key("RADAR_MODULE", "RADAR_IMO_PROPERTIES");
  EXPECT_EQ(static_cast<std::uint32_t>(key.SetItem("RADAR_PROPERTIES")), Hash("RADAR_PROPERTIES"));
  EXPECT_EQ(key.GetItem(), "RADAR_PROPERTIES");
  EXPECT_EQ(key, ModuleLayerKey("RADAR_MODULE", "RADAR_PROPERTIES"));
  EXPECT_TRUE(key.MatchesModule("radar_module"));
  EXPECT_FALSE(key.MatchesModule("CHART_MODULE"));
}

TEST(ModuleLayerKeyText, RoundTripsThroughModuleQuestionMarkItem) {
  CString text;
  EXPECT_TRUE(ToText(ModuleLayerKey("RADAR_MODULE", "RINGS_LAYER"), text));
  EXPECT_EQ(text, "RADAR_MODULE?RINGS_LAYER");

  ModuleLayerKey key;
  ASSERT_TRUE(FromText("RADAR_MODULE?TRAIL_LAYER", key));
  EXPECT_EQ(key.GetModule(), "RADAR_MODULE");
  EXPECT_EQ(key.GetItem(), "TRAIL_LAYER");
  EXPECT_EQ(key, ModuleLayerKey("RADAR_MODULE", "TRAIL_LAYER"));
}

TEST(ModuleLayerKeyText, RejectsTextWithoutSeparatorAndKeepsLaterSeparatorsInTheItem) {
  ModuleLayerKey key("A", "B");
  EXPECT_FALSE(FromText("RADAR_MODULE", key));
  EXPECT_FALSE(FromText("", key));
  EXPECT_EQ(key, ModuleLayerKey("A", "B"));

  ASSERT_TRUE(FromText("M?I?J", key));
  EXPECT_EQ(key.GetModule(), "M");
  EXPECT_EQ(key.GetItem(), "I?J");
  ASSERT_TRUE(FromText("?", key));
  EXPECT_EQ(key, ModuleLayerKey());
}

TEST(ModuleLayerKeyValue, OrdersByKeyThenValue) {
  const ModuleLayerKey trail("RADAR_MODULE", "TRAIL_LAYER");
  const ModuleLayerKey rings("RADAR_MODULE", "RINGS_LAYER");
  EXPECT_EQ(ModuleLayerKeyValue(trail, 0), ModuleLayerKeyValue(trail, 0));
  EXPECT_FALSE(ModuleLayerKeyValue(trail, 0) == ModuleLayerKeyValue(trail, 1));
  EXPECT_LT(ModuleLayerKeyValue(trail, 5), ModuleLayerKeyValue(rings, -5));
  EXPECT_LT(ModuleLayerKeyValue(trail, -1), ModuleLayerKeyValue(trail, 0));
  EXPECT_EQ(ModuleLayerKeyValue().GetValue(), -1);
}

TEST(ModuleLayerKeyList, KeepsKeysSortedBySignedSumWithoutDuplicates) {
  ModuleLayerKeyList list;
  list.Add(ModuleLayerKey("RADAR_MODULE", "RINGS_LAYER"));
  list.Add(ModuleLayerKey("RADAR_MODULE", "RADAR_LAYER"));
  list.Add(ModuleLayerKey("RADAR_MODULE", "TRAIL_LAYER"));
  list.Add(ModuleLayerKey("radar_module", "rings_layer"));
  EXPECT_EQ(list.Count(), 3);
  EXPECT_EQ(Items(list), (std::vector<CString>{"TRAIL_LAYER", "RINGS_LAYER", "RADAR_LAYER"}));
}

TEST(ModuleLayerKeyList, AddAllMergesAndRemoveAllErases) {
  ModuleLayerKeyList a;
  a.Add(ModuleLayerKey("RADAR_MODULE", "RADAR_LAYER"));
  ModuleLayerKeyList b;
  b.Add(ModuleLayerKey("RADAR_MODULE", "TRAIL_LAYER"));
  b.Add(ModuleLayerKey("RADAR_MODULE", "RADAR_LAYER"));
  a.AddAll(b);
  EXPECT_EQ(Items(a), (std::vector<CString>{"TRAIL_LAYER", "RADAR_LAYER"}));

  a.Remove(ModuleLayerKey("RADAR_MODULE", "RINGS_LAYER"));  // not there: nothing happens
  EXPECT_EQ(a.Count(), 2);
  a.RemoveAll(b);
  EXPECT_EQ(a.Count(), 0);
  EXPECT_FALSE(a.Contains(ModuleLayerKey("RADAR_MODULE", "RADAR_LAYER")));
}

TEST(ModuleLayerKeyList, ListGivenItselfMergesToItselfAndRemovesEverything) {
  ModuleLayerKeyList list;
  for (const char* item : {"RADAR_LAYER", "TRAIL_LAYER", "RINGS_LAYER"})
    list.Add(ModuleLayerKey("RADAR_MODULE", item));
  list.AddAll(list);
  EXPECT_EQ(Items(list), (std::vector<CString>{"TRAIL_LAYER", "RINGS_LAYER", "RADAR_LAYER"}));
  list.RemoveAll(list);
  EXPECT_EQ(list.Count(), 0);
}

TEST(ModuleLayerKeyList, IteratesOnlyAfterRewind) {
  ModuleLayerKeyList empty;
  ModuleLayerKey key;
  empty.Rewind();
  EXPECT_FALSE(empty.Next(key));

  ModuleLayerKeyList list;
  list.Add(ModuleLayerKey("RADAR_MODULE", "RADAR_LAYER"));
  EXPECT_FALSE(list.Next(key)) << "no cursor before Rewind";
  list.Rewind();
  EXPECT_TRUE(list.Next(key));
  EXPECT_EQ(key.GetItem(), "RADAR_LAYER");
  EXPECT_FALSE(list.Next(key));
}

TEST(ModuleLayerKeyList, AssignCopiesTheOtherListsKeys) {
  ModuleLayerKeyList source;
  source.Add(ModuleLayerKey("RADAR_MODULE", "RADAR_LAYER"));
  ModuleLayerKeyList target;
  target.Add(ModuleLayerKey("RADAR_MODULE", "TRAIL_LAYER"));
  target.Assign(source);
  EXPECT_EQ(Items(target), (std::vector<CString>{"RADAR_LAYER"}));
  target.Assign(target);
  EXPECT_EQ(target.Count(), 1);
}

TEST(ModuleLayerKeyList, SelectModulePicksTheModulesKeys) {
  ModuleLayerKeyList source;
  source.Add(ModuleLayerKey("RADAR_MODULE", "RADAR_LAYER"));
  source.Add(ModuleLayerKey("CHART_MODULE", "DEPTH_LAYER"));
  source.Add(ModuleLayerKey("radar_module", "TRAIL_LAYER"));
  ModuleLayerKeyList selected;
  selected.Add(ModuleLayerKey("OTHER", "STALE"));
  ModuleLayerKeyList::SelectModule("RADAR_MODULE", source, selected);
  EXPECT_EQ(Items(selected), (std::vector<CString>{"TRAIL_LAYER", "RADAR_LAYER"}));
}

}  // namespace
