// The INI profile store: Win32 semantics, values that survive the INI syntax, writes that change nothing
// but what they write, and a file that stays whole and complete under concurrent writers and writers
// killed mid-way.
#include <gtest/gtest.h>
#include <ini.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "extensions/kernel32.h"
#include "extensions/whole_file.h"
#include "support/scratch_profile.h"

namespace {

std::string Read(const std::string& path, const char* section, const char* key, const char* fallback = "<none>") {
  std::string value;
  return ReadPrivateProfileValue(section, key, value, path.c_str()) ? value : fallback;
}

std::string FileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// The file as libinih itself reads it, with room for long lines: 0 when every line parsed.
int RawParseError(const std::string& path) {
  const bool useStack = ini_use_stack;
  const bool allowRealloc = ini_allow_realloc;
  const int maxLine = ini_max_line;
  ini_use_stack = false;
  ini_allow_realloc = true;
  ini_max_line = 1 << 24;
  const int error =
      ini_parse(path.c_str(), [](void*, const char*, const char*, const char*) { return 1; }, nullptr);
  ini_use_stack = useStack;
  ini_allow_realloc = allowRealloc;
  ini_max_line = maxLine;
  return error;
}

class PrivateProfile : public ::testing::Test {
protected:
  ScratchFolder folder_;
  std::string file_ = folder_.File("profile.ini");
};

TEST_F(PrivateProfile, StoresSectionsAndKeysAndFindsThemIgnoringCase) {
  ASSERT_TRUE(WritePrivateProfileStringA("ModuleData\\RadarData", "TRAIL_TIME", "30", file_.c_str()));
  ASSERT_TRUE(WritePrivateProfileStringA("moduledata\\radardata", "trail_time", "45", file_.c_str()));
  EXPECT_EQ(Read(file_, "MODULEDATA\\RADARDATA", "Trail_Time"), "45");
  // One section and one key: the first spelling is kept.
  EXPECT_EQ(FileText(file_), "[ModuleData\\RadarData]\nTRAIL_TIME=45\n");
  EXPECT_EQ(Read(file_, "ModuleData\\RadarData", "OTHER"), "<none>");
  EXPECT_EQ(Read(folder_.File("absent.ini"), "ModuleData\\RadarData", "TRAIL_TIME"), "<none>");
  // The first write creates the profile's folder.
  const std::string nested = folder_.File("host/app/profile.ini");
  ASSERT_TRUE(WritePrivateProfileStringA("S", "k", "v", nested.c_str()));
  EXPECT_EQ(Read(nested, "S", "k"), "v");
}

TEST_F(PrivateProfile, ValuesReadBackExactlyWhateverTheirCharacters) {
  const std::vector<std::string> values = {
      "",  " leading and trailing ", "a ; not a comment", "# hash", "\"quoted\"", "line\nbreak\r\n",
      "tab\tinside", "C:\\Charts\\file.dat", "caf\xE9 \xE0 l\xE9g\xE8re", std::string(20000, 'x') + "=:[]",
      "\"", "back\\slash\\", "\x01\x7f"};
  const auto keyOf = [](std::size_t i) { return std::string("K").append(std::to_string(i)); };
  for (std::size_t i = 0; i < values.size(); ++i)
    ASSERT_TRUE(WritePrivateProfileStringA("S", keyOf(i).c_str(), values[i].c_str(), file_.c_str())) << i;
  for (std::size_t i = 0; i < values.size(); ++i)
    EXPECT_EQ(Read(file_, "S", keyOf(i).c_str()), values[i]) << i;
  EXPECT_EQ(RawParseError(file_), 0);
}

TEST_F(PrivateProfile, RefusesNamesThatWouldNotReadBack) {
  for (const char* key : {"", " padded", "a=b", "a:b", ";comment", "#comment", "[x", "two\nlines"})
    EXPECT_FALSE(WritePrivateProfileStringA("S", key, "v", file_.c_str())) << key;
  for (const char* section : {"", "a]b", "line\nbreak", "0123456789012345678901234567890123456789012345678901"})
    EXPECT_FALSE(WritePrivateProfileStringA(section, "k", "v", file_.c_str())) << section;
  EXPECT_FALSE(WritePrivateProfileStringA(nullptr, "k", "v", file_.c_str()));
  EXPECT_FALSE(WritePrivateProfileStringA("S", "k", "v", nullptr));
}

TEST_F(PrivateProfile, NullValueDeletesTheKeyAndNullKeyTheSection) {
  WritePrivateProfileStringA("S", "a", "1", file_.c_str());
  WritePrivateProfileStringA("S", "b", "2", file_.c_str());
  WritePrivateProfileStringA("S\\Child", "c", "3", file_.c_str());
  ASSERT_TRUE(WritePrivateProfileStringA("S", "a", nullptr, file_.c_str()));
  EXPECT_EQ(Read(file_, "S", "a"), "<none>");
  EXPECT_EQ(Read(file_, "S", "b"), "2");
  ASSERT_TRUE(WritePrivateProfileStringA("S", nullptr, nullptr, file_.c_str()));
  EXPECT_EQ(Read(file_, "S", "b"), "<none>");
  EXPECT_EQ(Read(file_, "S\\Child", "c"), "3");  // a plain section deletion is not a tree deletion
}

TEST_F(PrivateProfile, SectionTreeDeletionTakesTheSectionsBelowOnly) {
  WritePrivateProfileStringA("ModuleData\\RadarData", "a", "1", file_.c_str());
  WritePrivateProfileStringA("ModuleData\\RadarData\\Sub", "b", "2", file_.c_str());
  WritePrivateProfileStringA("ModuleData\\RadarDataX", "c", "3", file_.c_str());
  WritePrivateProfileStringA("ModuleData", "d", "4", file_.c_str());
  EXPECT_EQ(DeletePrivateProfileSectionTree("moduledata\\radardata", file_.c_str()), 2);
  EXPECT_EQ(Read(file_, "ModuleData\\RadarData\\Sub", "b"), "<none>");
  EXPECT_EQ(Read(file_, "ModuleData\\RadarDataX", "c"), "3");
  EXPECT_EQ(Read(file_, "ModuleData", "d"), "4");
  EXPECT_EQ(DeletePrivateProfileSectionTree("ModuleData\\RadarData", file_.c_str()), 0);
}

TEST_F(PrivateProfile, GetStringTruncatesToTheBufferAndListsNamesAsWin32Does) {
  WritePrivateProfileStringA("One", "alpha", "abcdef", file_.c_str());
  WritePrivateProfileStringA("Two", "gamma", "y", file_.c_str());
  char buffer[32];
  EXPECT_EQ(GetPrivateProfileStringA("One", "alpha", "d", buffer, 4, file_.c_str()), 3u);
  EXPECT_STREQ(buffer, "abc");
  EXPECT_EQ(GetPrivateProfileStringA("One", "missing", "fallback", buffer, sizeof buffer, file_.c_str()), 8u);
  EXPECT_STREQ(buffer, "fallback");
  EXPECT_EQ(GetPrivateProfileStringA(nullptr, nullptr, nullptr, buffer, sizeof buffer, file_.c_str()), 8u);
  EXPECT_EQ(std::string(buffer, 9), std::string("One\0Two\0\0", 9));
  // A list cut short still ends with two terminators.
  EXPECT_EQ(GetPrivateProfileStringA(nullptr, nullptr, nullptr, buffer, 6, file_.c_str()), 4u);
  EXPECT_EQ(std::string(buffer, 6), std::string("One\0\0\0", 6));
  EXPECT_EQ(GetPrivateProfileStringA("One", "alpha", "", nullptr, 10, file_.c_str()), 0u);
}

TEST_F(PrivateProfile, GetIntReadsSignedDecimalAndHexAndDefaultsForMissingOrEmpty) {
  const std::pair<const char*, int> cases[] = {{"42", 42},   {"-32768", -32768}, {" 17abc", 17},
                                               {"0x1F", 31}, {"abc", 0},         {"4294967297", 1}};
  for (const auto& [text, expected] : cases) {
    WritePrivateProfileStringA("S", "k", text, file_.c_str());
    EXPECT_EQ(static_cast<int>(GetPrivateProfileIntA("S", "k", 99, file_.c_str())), expected) << text;
  }
  WritePrivateProfileStringA("S", "k", "", file_.c_str());
  EXPECT_EQ(static_cast<int>(GetPrivateProfileIntA("S", "k", -5, file_.c_str())), -5);
  EXPECT_EQ(static_cast<int>(GetPrivateProfileIntA("S", "absent", -5, file_.c_str())), -5);
}

TEST_F(PrivateProfile, KeepsWhatParsesFromAHandEditedFile) {
  std::ofstream(file_) << "\xEF\xBB\xBF; comment\ntop=level\n[A]\nx = 1 \nx=2\nnot a pair\n[B]\ny=\"  spaced  \"\n";
  EXPECT_EQ(Read(file_, "", "top"), "level");
  EXPECT_EQ(Read(file_, "A", "x"), "1");  // the first of two occurrences wins
  EXPECT_EQ(Read(file_, "B", "y"), "  spaced  ");
  ASSERT_TRUE(WritePrivateProfileStringA("B", "z", "3", file_.c_str()));
  EXPECT_EQ(Read(file_, "", "top"), "level");
  EXPECT_EQ(Read(file_, "A", "x"), "1");
  // What is not INI syntax stays where it was; the parser of the next reader decides what it makes of it.
  EXPECT_NE(FileText(file_).find("x=2\nnot a pair\n[B]"), std::string::npos);
}

// Profiles damaged in one way each, all holding TRAIL_TIME=45 in the data section and Visible=0 in a
// display section. A write changes its own line, or adds one, and leaves every other byte alone.
TEST_F(PrivateProfile, WritesChangeTheirOwnLineAndNoOtherByteOfADamagedFile) {
  const std::string data = "[ModuleData\\RadarData]\n";
  const std::string display = "[ModuleDisplay\\RadarDisplay_0]\nVisible=0\n";
  const struct {
    const char* damage;
    std::string text;
  } cases[] = {
      {"nul", data + std::string("JUNK=a\0b\n", 9) + "TRAIL_TIME=45\n" + display},
      {"binary", data + "\xFF\xFE\x01\x02\x80\nTRAIL_TIME=45\n\x1B[0m\n" + display},
      {"long-line", data + std::string(100000, 'x') + "\nTRAIL_TIME=45\n" + display},
      {"lone-cr", data + "A=1\rB=2\n\r\nTRAIL_TIME=45\n" + display},
      {"crlf", "[ModuleData\\RadarData]\r\nTRAIL_TIME=45\r\n[ModuleDisplay\\RadarDisplay_0]\r\nVisible=0\r\n"},
      {"bom", "\xEF\xBB\xBF" + data + "TRAIL_TIME=45\n" + display},
      {"duplicates", data + "TRAIL_TIME=45\ntrail_time=99\n" + display + "Visible=1\n" + data + "TRAIL_TIME=7\n"},
      {"before-sections", "loose words\nTOP=1\n" + data + "TRAIL_TIME=45\n" + display},
      {"no-final-feed", data + "TRAIL_TIME=45\n[ModuleDisplay\\RadarDisplay_0]\nVisible=0"},
      {"blanks", data + "  ; note\n TRAIL_TIME =  45\n\n" + display},
  };
  for (const auto& [damage, text] : cases) {
    const std::string path = folder_.File(std::string(damage) + ".ini");
    std::ofstream(path, std::ios::binary) << text;
    EXPECT_EQ(Read(path, "ModuleData\\RadarData", "TRAIL_TIME"), "45") << damage;
    EXPECT_EQ(Read(path, "ModuleDisplay\\RadarDisplay_0", "Visible"), "0") << damage;

    ASSERT_TRUE(WritePrivateProfileStringA("ModuleData\\RadarData", "TRAIL_TIME", "30", path.c_str())) << damage;
    std::string changed = text;
    changed.replace(changed.find("45"), 2, "30");
    ASSERT_EQ(FileText(path), changed) << damage;

    // A new key is one line more, in the data section; taking it out gives the file_ as it was.
    ASSERT_TRUE(WritePrivateProfileStringA("ModuleData\\RadarData", "NEW", "1", path.c_str())) << damage;
    std::string added = FileText(path);
    const std::size_t line = added.find("NEW=1");
    ASSERT_NE(line, std::string::npos) << damage;
    const std::size_t lineEnd = added.find('\n', line);
    EXPECT_EQ(added.substr(0, line) + added.substr(lineEnd + 1), changed) << damage;

    // A new section is appended after everything that was there.
    ASSERT_TRUE(WritePrivateProfileStringA("Added", "k", "v", path.c_str())) << damage;
    EXPECT_EQ(FileText(path).substr(0, added.size()), added) << damage;
    EXPECT_EQ(Read(path, "ModuleData\\RadarData", "TRAIL_TIME"), "30") << damage;
    EXPECT_EQ(Read(path, "ModuleData\\RadarData", "NEW"), "1") << damage;
    EXPECT_EQ(Read(path, "ModuleDisplay\\RadarDisplay_0", "Visible"), "0") << damage;
    EXPECT_EQ(Read(path, "Added", "k"), "v") << damage;
  }
}

// Another program rewrites the file_ in place, to the same size, within the same clock tick: the file_'s
// times cannot tell, its bytes must.
TEST_F(PrivateProfile, ReadsAndWritesSeeAFileChangedInPlaceBySomeoneElse) {
  ASSERT_TRUE(WritePrivateProfileStringA("S", "a", "1", file_.c_str()));
  EXPECT_EQ(Read(file_, "S", "a"), "1");
  std::ofstream(file_, std::ios::binary) << "[S]\na=2\n";
  EXPECT_EQ(Read(file_, "S", "a"), "2");
  std::ofstream(file_, std::ios::binary) << "[S]\na=3\n";
  ASSERT_TRUE(WritePrivateProfileStringA("S", "b", "4", file_.c_str()));
  EXPECT_EQ(FileText(file_), "[S]\na=3\nb=4\n");
}

TEST_F(PrivateProfile, AProfileThatCannotBeReadIsNeitherReadNorReplaced) {
  // A folder where the file_ should be: it exists, and reading it fails.
  std::filesystem::create_directory(file_);
  std::ofstream(file_ + "/keep") << "content";
  EXPECT_FALSE(WritePrivateProfileStringA("S", "k", "w", file_.c_str()));
  EXPECT_EQ(Read(file_, "S", "k"), "<none>");
  EXPECT_EQ(FileText(file_ + "/keep"), "content");
}

// Multi-process cases. Children write through the store and leave with _exit; they never return into
// the test framework.

void WriteKeys(const std::string& path, const std::string& prefix, int count) {
  for (int i = 0; i < count; ++i) {
    const std::string key = prefix + std::to_string(i);
    if (!WritePrivateProfileStringA("Shared", key.c_str(), key.c_str(), path.c_str())) _exit(2);
  }
  _exit(0);
}

int WaitForChild(pid_t child) {
  int status = 0;
  waitpid(child, &status, 0);
  return status;
}

TEST_F(PrivateProfile, TwoProcessesWritingAtOnceLoseNothing) {
  constexpr int kKeysEach = 150;
  std::vector<pid_t> children;
  for (const char* prefix : {"A", "B"}) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) WriteKeys(file_, prefix, kKeysEach);
    children.push_back(child);
  }
  for (pid_t child : children) {
    const int status = WaitForChild(child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  }
  EXPECT_EQ(RawParseError(file_), 0);
  for (const char* prefix : {"A", "B"})
    for (int i = 0; i < kKeysEach; ++i) {
      const std::string key = prefix + std::to_string(i);
      EXPECT_EQ(Read(file_, "Shared", key.c_str()), key);
    }
}

// The child writes entries one by one and reports each one written through a pipe; the parent kills it
// at a random moment and then checks that every reported entry is in a profile that parses.
TEST_F(PrivateProfile, AWriterKilledMidWayLeavesEveryCompletedWrite) {
  std::mt19937 random(12345);
  const std::string bulk(4000, 'v');
  for (int round = 0; round < 6; ++round) {
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      close(pipeEnds[0]);
      for (int i = 0; i < 100000; ++i) {
        const std::string key = "R" + std::to_string(round) + "_" + std::to_string(i);
        if (!WritePrivateProfileStringA("Killed", key.c_str(), (key + bulk).c_str(), file_.c_str())) _exit(2);
        if (write(pipeEnds[1], &i, sizeof i) != sizeof i) _exit(3);
      }
      _exit(0);
    }
    close(pipeEnds[1]);
    // Let some writes complete, then kill at a random point of a later one.
    int reported = -1;
    int acknowledged = 0;
    pollfd watch{pipeEnds[0], POLLIN, 0};
    while (acknowledged < 20 && poll(&watch, 1, 20000) > 0 && read(pipeEnds[0], &reported, sizeof reported) > 0)
      ++acknowledged;
    ASSERT_EQ(acknowledged, 20) << "the writer stalled";
    usleep(std::uniform_int_distribution<useconds_t>(0, 3000)(random));
    kill(child, SIGKILL);
    WaitForChild(child);
    while (read(pipeEnds[0], &reported, sizeof reported) == sizeof reported) {
    }
    close(pipeEnds[0]);

    ASSERT_EQ(RawParseError(file_), 0) << "round " << round;
    for (int i = 0; i <= reported; ++i) {
      const std::string key = "R" + std::to_string(round) + "_" + std::to_string(i);
      ASSERT_EQ(Read(file_, "Killed", key.c_str()), key + bulk) << "round " << round;
    }
  }
  // A temporary file_ left by a killed writer does not get in the way of the next one.
  EXPECT_TRUE(WritePrivateProfileStringA("After", "k", "v", file_.c_str()));
  EXPECT_EQ(Read(file_, "After", "k"), "v");
}

// A profile that is a link stays a link and its target takes the write; no temporary file is left.
TEST_F(PrivateProfile, WritesThroughALinkToItsTarget) {
  const std::string target = folder_.File("target.ini");
  std::filesystem::create_symlink("target.ini", file_);
  ASSERT_TRUE(WritePrivateProfileStringA("S", "K", "v", file_.c_str()));
  EXPECT_TRUE(std::filesystem::is_symlink(file_));
  EXPECT_EQ(FileText(target), "[S]\nK=v\n");
  int entries = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder_.File(""))) entries += !entry.is_directory();
  EXPECT_EQ(entries, 3) << "the link, its target and the lock file";
}

// A write that cannot be made leaves the earlier file as it was and says why, once.
TEST_F(PrivateProfile, ReportsAFailedWriteAndKeepsTheEarlierFile) {
  std::ofstream(folder_.File("plain")) << "x";
  const struct Case {
    std::string path;
    bool keepsEarlier;
  } cases[] = {{folder_.File("plain/profile.ini"), false}, {"/dev/null", true}, {file_ + "/../plain", true}};
  ASSERT_TRUE(WritePrivateProfileStringA("S", "K", "v", file_.c_str()));
  for (const Case& c : cases) {
    TakeProfileWriteFailure();
    EXPECT_FALSE(WritePrivateProfileStringA("S", "K", "w", c.path.c_str())) << c.path;
    EXPECT_NE(TakeProfileWriteFailure(), "") << c.path;
    EXPECT_EQ(TakeProfileWriteFailure(), "") << "taken once";
  }
  EXPECT_EQ(FileText(folder_.File("plain")), "x");
  EXPECT_EQ(Read(file_, "S", "K"), "v");
}

// A whole file that is not committed never appears, and leaves no temporary file behind.
TEST_F(PrivateProfile, AnUnfinishedWholeFileLeavesTheEarlierOne) {
  std::ofstream(file_) << "earlier";
  std::string error, temporary;
  {
    WholeFile file;
    ASSERT_TRUE(file.Open(file_, error)) << error;
    ASSERT_TRUE(file.Write("later", error)) << error;
    temporary = file.TemporaryPath();
    EXPECT_TRUE(std::filesystem::exists(temporary));
  }
  EXPECT_FALSE(std::filesystem::exists(temporary));
  EXPECT_EQ(FileText(file_), "earlier");
}

}  // namespace
