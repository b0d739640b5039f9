#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "afxwin.h"
#include "extensions/kernel32.h"
#include "extensions/resource_table.h"

namespace {

const std::string kPlugin = std::string(LOADER_FIXTURES) + "/Plugin.dll";
const std::string kDependency = std::string(LOADER_FIXTURES) + "/libloader_fixture_dependency.so";

using resource_table::StringResource;
constexpr StringResource kStrings[] = {{5, "five"}, {39017, "WARMING UP %s"}, {0, ""}};
constexpr auto kTable = resource_table::BuildTable<resource_table::TableSize(kStrings)>(kStrings);

std::string Lookup(std::span<const unsigned char> table, std::uint32_t id) {
  const auto text = resource_table::FindString(table, id);
  return text ? std::string(*text) : "<none>";
}

// Opens the fixture library as a data file for one test.
class DataFileTest : public testing::Test {
protected:
  void SetUp() override {
    library_ = LoadLibraryExA(kPlugin.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(library_, nullptr);
  }
  void TearDown() override {
    AfxSetResourceHandle(nullptr);
    if (library_) FreeLibrary(library_);
  }
  HMODULE library_ = nullptr;
};

}  // namespace

TEST(ResourceTable, FindsEveryStringOfAWellFormedTable) {
  EXPECT_EQ(Lookup(kTable, 5), "five");
  EXPECT_EQ(Lookup(kTable, 39017), "WARMING UP %s");
  EXPECT_EQ(Lookup(kTable, 0), "");
  EXPECT_EQ(Lookup(kTable, 6), "<none>");
}

TEST(ResourceTable, NeverReadsOutsideADamagedTable) {
  const std::span<const unsigned char> whole(kTable);
  EXPECT_EQ(Lookup(whole.first(kTable.size() - 1), 5), "<none>") << "declared size beyond the block";
  EXPECT_EQ(Lookup(whole.first(8), 5), "<none>");

  auto badMagic = kTable;
  badMagic[0] = 'X';
  EXPECT_EQ(Lookup(badMagic, 5), "<none>");

  auto tooManyEntries = kTable;
  tooManyEntries[8] = 200;
  EXPECT_EQ(Lookup(tooManyEntries, 5), "<none>");

  auto textOutside = kTable;
  textOutside[resource_table::kHeaderSize + 4] = 0xF0;  // offset of the first text
  EXPECT_EQ(Lookup(textOutside, 5), "<none>");
  EXPECT_EQ(Lookup(textOutside, 39017), "WARMING UP %s") << "the other entries stay readable";
}

TEST_F(DataFileTest, LoadStringACopiesTheTextCutToTheBuffer) {
  char buffer[64];
  EXPECT_EQ(LoadStringA(library_, 7, buffer, sizeof buffer), 12);
  EXPECT_STREQ(buffer, "seventh text");

  std::memset(buffer, 'x', sizeof buffer);
  EXPECT_EQ(LoadStringA(library_, 7, buffer, 4), 3);
  EXPECT_STREQ(buffer, "sev");
  EXPECT_EQ(buffer[4], 'x');
}

TEST_F(DataFileTest, LoadStringAAnswersZeroWhenThereIsNoString) {
  char buffer[16] = "stale";
  EXPECT_EQ(LoadStringA(library_, 2, buffer, sizeof buffer), 0);
  EXPECT_STREQ(buffer, "");
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));

  EXPECT_EQ(LoadStringA(nullptr, 7, buffer, sizeof buffer), 0) << "the executable carries no strings";
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_DATA_NOT_FOUND));

  EXPECT_EQ(LoadStringA(library_, 7, buffer, 0), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(LoadStringA(library_, 7, nullptr, 16), 0);
}

TEST(LoadStringA, ReadsStringsOfALibraryLoadedForItsCodeToo) {
  const HMODULE plugin = LoadLibraryExA(kPlugin.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  ASSERT_NE(plugin, nullptr);
  char buffer[32];
  EXPECT_EQ(LoadStringA(plugin, 1, buffer, sizeof buffer), 5);
  EXPECT_STREQ(buffer, "first");
  FreeLibrary(plugin);

  EXPECT_EQ(LoadStringA(GetModuleHandleA(nullptr), 1, buffer, sizeof buffer), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_DATA_NOT_FOUND));
}

TEST(LoadStringA, FindsNoTableInALibraryWithoutOne) {
  const HMODULE dependency = LoadLibraryExA(kDependency.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(dependency, nullptr);
  char buffer[16];
  EXPECT_EQ(LoadStringA(dependency, 1, buffer, sizeof buffer), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_DATA_NOT_FOUND));
  FreeLibrary(dependency);
}

TEST_F(DataFileTest, CStringLoadsFromTheCurrentResourceSource) {
  AfxSetResourceHandle(library_);
  CString text("stale");
  EXPECT_TRUE(text.LoadString(7));
  EXPECT_EQ(text, "seventh text");

  // Longer than a first buffer: nothing is cut.
  EXPECT_TRUE(text.LoadString(300));
  EXPECT_EQ(text.GetLength(), 500);
  EXPECT_EQ(text.Right(10), "0123456789");

  EXPECT_FALSE(text.LoadString(2));
  EXPECT_TRUE(text.IsEmpty());

  AfxSetResourceHandle(nullptr);
  text = "stale";
  EXPECT_FALSE(text.LoadString(7));
  EXPECT_TRUE(text.IsEmpty());
}

TEST(LoadStringA, ToleratesADamagedTableInTheFile) {
  std::ifstream in(kPlugin, std::ios::binary);
  std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  const std::string_view file(bytes.data(), bytes.size());
  const auto table = file.find("SRES");
  ASSERT_NE(table, std::string_view::npos);
  bytes[table + 4 + 3] = 0x7f;  // a declared size far beyond the symbol

  const auto damaged = std::filesystem::temp_directory_path() / "damaged-resources.dll";
  std::ofstream(damaged, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  const HMODULE library = LoadLibraryExA(damaged.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(library, nullptr) << "the file is still a library";
  char buffer[16];
  EXPECT_EQ(LoadStringA(library, 7, buffer, sizeof buffer), 0);
  FreeLibrary(library);
  std::filesystem::remove(damaged);
}
