#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "extensions/kernel32.h"

namespace fs = std::filesystem;

namespace {

const std::string kFixtures = LOADER_FIXTURES;
const std::string kPlugin = kFixtures + "/Plugin.dll";

std::string WindowsStyle(std::string path) {
  for (char& ch : path)
    if (ch == '/') ch = '\\';
  return path;
}

int Constructions() {
  const char* count = std::getenv("LOADER_FIXTURE_CONSTRUCTIONS");
  return count ? std::atoi(count) : 0;
}

using IntFunction = int (*)();

class ScratchFolder {
public:
  ScratchFolder() {
    std::string pattern = (fs::temp_directory_path() / "loader-test-XXXXXX").string();
    path_ = ::mkdtemp(pattern.data());
  }
  ~ScratchFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  fs::path Write(const std::string& name, const std::vector<char>& bytes) const {
    std::ofstream out(path_ / name, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return path_ / name;
  }
  const fs::path& Path() const { return path_; }

private:
  fs::path path_;
};

std::vector<char> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

TEST(GetModuleFileNameA, NamesTheExecutableForANullModule) {
  const std::string executable = fs::read_symlink("/proc/self/exe").string();
  char buffer[4096];
  const DWORD length = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
  EXPECT_EQ(length, executable.size());
  EXPECT_EQ(std::string(buffer), executable);
}

TEST(GetModuleFileNameA, CutsTheNameToTheBufferLikeWindows) {
  const std::string executable = fs::read_symlink("/proc/self/exe").string();
  const auto size = static_cast<DWORD>(executable.size());
  std::vector<char> buffer(executable.size() + 8, 'x');

  SetLastError(ERROR_SUCCESS);
  EXPECT_EQ(GetModuleFileNameA(nullptr, buffer.data(), size + 1), size);
  EXPECT_EQ(std::string(buffer.data()), executable);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));

  // One short: the terminator takes the last place and the answer is the buffer size.
  EXPECT_EQ(GetModuleFileNameA(nullptr, buffer.data(), size), size);
  EXPECT_EQ(std::string(buffer.data()), executable.substr(0, executable.size() - 1));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));

  std::fill(buffer.begin(), buffer.end(), 'x');
  EXPECT_EQ(GetModuleFileNameA(nullptr, buffer.data(), 5), 5u);
  EXPECT_EQ(std::string(buffer.data()), executable.substr(0, 4));
  EXPECT_EQ(buffer[5], 'x') << "nothing is written past the buffer";

  EXPECT_EQ(GetModuleFileNameA(nullptr, buffer.data(), 0), 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
}

TEST(GetModuleFileNameA, RejectsAHandleThatIsNoModule) {
  int notAModule = 0;
  char buffer[64];
  EXPECT_EQ(GetModuleFileNameA(reinterpret_cast<HMODULE>(&notAModule), buffer, sizeof buffer), 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
}

TEST(LoadLibraryExA, FindsDependenciesInTheLibrarysFolderOnlyWithTheAlteredSearchPath) {
  // The fixture's dependency lies only beside it: the ordinary search (the executable's folder, then
  // the system's) cannot find it.
  EXPECT_EQ(LoadLibraryA(kPlugin.c_str()), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));

  const HMODULE plugin = LoadLibraryExA(kPlugin.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  ASSERT_NE(plugin, nullptr);
  const auto value = reinterpret_cast<IntFunction>(GetProcAddress(plugin, "FixturePluginValue"));
  ASSERT_NE(value, nullptr);
  EXPECT_EQ(value(), 42);
  // Only what the library itself exports, not what its dependencies do.
  EXPECT_EQ(GetProcAddress(plugin, "FixtureDependencyValue"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
  EXPECT_EQ(GetProcAddress(plugin, "NoSuchFunction"), nullptr);
  EXPECT_EQ(GetProcAddress(plugin, reinterpret_cast<LPCSTR>(std::uintptr_t{5})), nullptr)
      << "an ordinal is never found";
  EXPECT_TRUE(FreeLibrary(plugin));
}

TEST(LoadLibraryExA, TakesWindowsPathsWithBackslashesAndParentSegments) {
  const std::string throughMissingFolder = WindowsStyle(kFixtures + "/no_such_folder/../Plugin.dll");
  const HMODULE plugin = LoadLibraryExA(throughMissingFolder.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  ASSERT_NE(plugin, nullptr) << "\"..\\\" is resolved by name, as on Windows";

  char name[4096];
  ASSERT_GT(GetModuleFileNameA(plugin, name, sizeof name), 0u);
  EXPECT_EQ(std::string(name), fs::path(kPlugin).lexically_normal().string());

  const std::string relative = WindowsStyle(fs::relative(kPlugin, fs::current_path()).string());
  const HMODULE again = LoadLibraryExA(relative.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  EXPECT_EQ(again, plugin) << "relative to the current folder: " << relative;
  EXPECT_EQ(GetModuleLoadCount(plugin), 2u);
  EXPECT_EQ(GetModuleHandleA("PLUGIN.DLL"), plugin);
  EXPECT_EQ(GetModuleLoadCount(plugin), 2u) << "GetModuleHandleA counts no reference";

  EXPECT_TRUE(FreeLibrary(again));
  EXPECT_EQ(GetModuleLoadCount(plugin), 1u);
  EXPECT_TRUE(FreeLibrary(plugin));
  EXPECT_EQ(GetModuleLoadCount(plugin), 0u);
  EXPECT_FALSE(FreeLibrary(plugin));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_EQ(GetModuleHandleA("Plugin.dll"), nullptr);
}

TEST(LoadLibraryExA, OpensADataFileWithoutRunningItsCode) {
  const int constructionsBefore = Constructions();
  const HMODULE data = LoadLibraryExA(kPlugin.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(Constructions(), constructionsBefore);
  EXPECT_EQ(GetProcAddress(data, "FixturePluginValue"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));

  const HMODULE code = LoadLibraryExA(kPlugin.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  ASSERT_NE(code, nullptr);
  EXPECT_GT(Constructions(), 0) << "loading it for its code does run it";
  EXPECT_NE(code, data);
  EXPECT_EQ(FreeLibrary(code), TRUE);
  EXPECT_EQ(FreeLibrary(data), TRUE);
  EXPECT_FALSE(FreeLibrary(data));
}

TEST(LoadLibraryExA, ReportsWhyALibraryCannotBeOpened) {
  ScratchFolder scratch;
  const std::string missing = (scratch.Path() / "Missing.dll").string();
  const std::string text = scratch.Write("Text.dll", {'n', 'o', 't', ' ', 'E', 'L', 'F'}).string();
  const std::string folder = scratch.Path().string();

  for (const DWORD flags : {0u, LOAD_WITH_ALTERED_SEARCH_PATH, LOAD_LIBRARY_AS_DATAFILE}) {
    SCOPED_TRACE(flags);
    EXPECT_EQ(LoadLibraryExA(missing.c_str(), nullptr, flags), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
    EXPECT_EQ(LoadLibraryExA(text.c_str(), nullptr, flags), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_BAD_EXE_FORMAT));
    EXPECT_EQ(LoadLibraryExA(folder.c_str(), nullptr, flags), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  }
  EXPECT_EQ(LoadLibraryExA(nullptr, nullptr, 0), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(LoadLibraryExA(kPlugin.c_str(), nullptr, 0x20), nullptr) << "options this loader lacks";
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST(LoadLibraryExA, SurvivesDamagedLibraryFiles) {
  ScratchFolder scratch;
  const std::vector<char> plugin = ReadFile(kPlugin);
  ASSERT_GT(plugin.size(), 4096u);

  const auto truncated = scratch.Write("Truncated.dll", {plugin.begin(), plugin.begin() + 40});
  EXPECT_EQ(LoadLibraryExA(truncated.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_BAD_EXE_FORMAT));

  // Section headers said to lie far beyond the end of the file.
  std::vector<char> badSections = plugin;
  const std::uint64_t farAway = 0x7fffffffffff0000ull;
  std::memcpy(badSections.data() + 0x28, &farAway, sizeof farAway);  // e_shoff
  const auto damaged = scratch.Write("BadSections.dll", badSections);
  EXPECT_EQ(LoadLibraryExA(damaged.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_BAD_EXE_FORMAT));
}
