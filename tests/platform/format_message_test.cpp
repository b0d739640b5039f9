#include <gtest/gtest.h>

#include <string>

#include "winbase.h"

namespace {

constexpr DWORD kSystemFlags = FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
constexpr char kMissingLibrary[] = "One of the library files needed to run this application cannot be found.";

char buffer[256];

DWORD Format(DWORD flags, DWORD id, DWORD language = 0, DWORD size = sizeof buffer) {
  return FormatMessageA(flags, nullptr, id, language, buffer, size, nullptr);
}

}  // namespace

TEST(FormatMessageA, GivesTheSystemTextWithItsLineBreakAsWindowsDoes) {
  const std::string expected = std::string(kMissingLibrary) + "\r\n";
  EXPECT_EQ(Format(kSystemFlags, ERROR_DLL_NOT_FOUND, LANG_USER_DEFAULT), expected.size());
  EXPECT_EQ(std::string(buffer), expected);

  EXPECT_EQ(Format(FORMAT_MESSAGE_FROM_SYSTEM, ERROR_DLL_NOT_FOUND), expected.size())
      << "a text without inserts needs no IGNORE_INSERTS";
  EXPECT_GT(Format(kSystemFlags, ERROR_MOD_NOT_FOUND, MAKELANGID(LANG_ENGLISH, SUBLANG_DEFAULT)), 0u);
  EXPECT_STREQ(buffer, "The specified module could not be found.\r\n");
}

TEST(FormatMessageA, DropsTheLineBreakForTheMaximumWidth) {
  EXPECT_EQ(Format(kSystemFlags | FORMAT_MESSAGE_MAX_WIDTH_MASK, ERROR_DLL_NOT_FOUND),
            std::string(kMissingLibrary).size());
  EXPECT_STREQ(buffer, kMissingLibrary);
}

TEST(FormatMessageA, FailsWithTheWindowsErrorCodes) {
  const std::string text = std::string(kMissingLibrary) + "\r\n";
  // The terminator needs room as well.
  EXPECT_EQ(Format(kSystemFlags, ERROR_DLL_NOT_FOUND, 0, static_cast<DWORD>(text.size())), 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_STREQ(buffer, "");

  EXPECT_EQ(Format(kSystemFlags, 999999), 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MR_MID_NOT_FOUND));

  EXPECT_EQ(Format(kSystemFlags, ERROR_DLL_NOT_FOUND, 0x0407), 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_LANG_NOT_FOUND));

  // "%1 is not a valid Win32 application." cannot be written without its argument.
  EXPECT_EQ(Format(FORMAT_MESSAGE_FROM_SYSTEM, ERROR_BAD_EXE_FORMAT), 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_GT(Format(kSystemFlags, ERROR_BAD_EXE_FORMAT), 0u);
  EXPECT_STREQ(buffer, "%1 is not a valid Win32 application.\r\n");

  EXPECT_EQ(Format(FORMAT_MESSAGE_FROM_STRING, 0), 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(FormatMessageA(kSystemFlags, nullptr, ERROR_DLL_NOT_FOUND, 0, nullptr, 100, nullptr), 0u);
}
