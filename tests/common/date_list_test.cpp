#include <gtest/gtest.h>

#include <ctime>

#include "common/date_list.h"

namespace {

Date At(std::int64_t seconds) { return Date(seconds); }

TEST(NoDate, IsTheFirstOf2038InLocalTime) {
  std::tm fields{};
  fields.tm_year = 138;
  fields.tm_mday = 1;
  fields.tm_isdst = -1;
  EXPECT_EQ(NoDate.GetTime(), static_cast<std::int64_t>(std::mktime(&fields)));
  const std::time_t stamp = static_cast<std::time_t>(NoDate.GetTime());
  std::tm local{};
  localtime_r(&stamp, &local);
  EXPECT_EQ(local.tm_year, 138);
  EXPECT_EQ(local.tm_mon, 0);
  EXPECT_EQ(local.tm_mday, 1);
  EXPECT_EQ(local.tm_hour, 0);
}

TEST(DateList, EmptyListAnswersNoDateToEveryQuery) {
  const DateList list;
  EXPECT_TRUE(list.empty());
  EXPECT_EQ(list.First(), NoDate);
  EXPECT_EQ(list.Last(), NoDate);
  EXPECT_EQ(list.FirstAfter(At(5)), NoDate);
  EXPECT_EQ(list.LastBefore(At(5)), NoDate);
  EXPECT_EQ(list.Find(At(5)), list.end());
}

TEST(DateList, AddKeepsDatesSortedAndUnique) {
  DateList list;
  list.Add(At(3));
  list.Add(At(1));
  list.Add(At(2));
  list.Add(At(2));
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(std::vector<Date>(list.begin(), list.end()), (std::vector<Date>{At(1), At(2), At(3)}));
  EXPECT_EQ(list.First(), At(1));
  EXPECT_EQ(list.Last(), At(3));
  EXPECT_EQ(list.Find(At(2)) - list.begin(), 1);
}

TEST(DateList, NeighbourQueriesAreStrict) {
  DateList list;
  for (const int t : {3, 1, 2}) list.Add(At(t));
  EXPECT_EQ(list.FirstAfter(At(2)), At(3));
  EXPECT_EQ(list.LastBefore(At(2)), At(1));
  EXPECT_EQ(list.FirstAfter(At(3)), NoDate);
  EXPECT_EQ(list.LastBefore(At(1)), NoDate);
  EXPECT_EQ(list.FirstAfter(At(-100)), At(1));
}

TEST(DateList, RemoveErasesOnlyEqualDates) {
  DateList list;
  for (const int t : {1, 2, 3}) list.Add(At(t));
  list.Remove(At(3));
  EXPECT_EQ(std::vector<Date>(list.begin(), list.end()), (std::vector<Date>{At(1), At(2)}));
  list.Remove(At(7));
  EXPECT_EQ(list.size(), 2u);
  EXPECT_FALSE(list.Contains(At(3)));
}

TEST(DateList, CopiesAreIndependent) {
  DateList original;
  original.Add(At(10));
  DateList copy(original);
  copy.Add(At(20));
  EXPECT_EQ(original.size(), 1u);
  EXPECT_EQ(copy.size(), 2u);
  copy = original;
  EXPECT_EQ(copy.size(), 1u);
}

}  // namespace
