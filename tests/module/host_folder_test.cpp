#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "module/host_folder.h"

TEST(HostExecutableFolder, IsTheExecutablesFolderWithItsSeparator) {
  const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe");
  EXPECT_EQ(std::string(GetHostExecutableFolder(4096)), executable.parent_path().string() + "/");
}

TEST(HostExecutableFolder, IsEmptyWhenTheNameDoesNotFitTheBuffer) {
  // A cut-off name would name an ancestor folder, or none at all.
  const auto length = static_cast<DWORD>(std::filesystem::read_symlink("/proc/self/exe").string().size());
  EXPECT_TRUE(GetHostExecutableFolder(length).IsEmpty());
  EXPECT_FALSE(GetHostExecutableFolder(length + 1).IsEmpty());
  EXPECT_TRUE(GetHostExecutableFolder(5).IsEmpty());
  EXPECT_TRUE(GetHostExecutableFolder(0).IsEmpty());
}
