// The host profile under a writer killed at any moment: a child process overwrites a handful of the
// module's settings again and again and reports each write done; the parent kills it with SIGKILL at a
// random point and then reads the file. After each of a hundred kills the file must parse, and each
// setting must hold the last value reported written, or the one write that was under way.
#include <gtest/gtest.h>
#include <ini.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <random>
#include <string>

#include "common/profile.h"
#include "extensions/kernel32.h"
#include "radar_host.h"

namespace {

constexpr int kRuns = 100;
constexpr int kKeys = 8;
constexpr const char* kSection = "ModuleData\\RadarData";
// Values stay within the line length the second, independent INI parser reads.
const std::string kBulk(150, 'x');
// Settings of other sections that every write carries along, so that a write takes long enough to be
// killed half-way.
constexpr int kFillerKeys = 100;

std::string KeyOf(int write) { return "SETTING_" + std::to_string(write % kKeys); }
std::string ValueOf(int run, int write) { return std::to_string(run) + "_" + std::to_string(write) + "_" + kBulk; }

// The child: writes until it is killed, reporting each finished write's number through `report`.
[[noreturn]] void WriteUntilKilled(int run, int report) {
  for (int write = 0;; ++write) {
    if (!ProfileWriteString(kSection, KeyOf(write).c_str(), ValueOf(run, write).c_str())) _exit(2);
    if (::write(report, &write, sizeof write) != sizeof write) _exit(3);
  }
}

bool ParsesAsIni(const std::string& path) {
  return ini_parse(path.c_str(), [](void*, const char*, const char*, const char*) { return 1; }, nullptr) == 0;
}

class ProfileKillTrials : public RadarHostTest {};

TEST_F(ProfileKillTrials, EveryKillLeavesAParsableProfileOfWrittenValues) {
  StartHost("");
  const std::string profile = (folder_ / "profile.ini").string();
  for (int filler = 0; filler < kFillerKeys; ++filler)
    ASSERT_TRUE(ProfileWriteString("ModuleDisplay\\RadarDisplay_0", ("FILLER" + std::to_string(filler)).c_str(),
                                   kBulk.c_str()));
  std::mt19937 random(8128);
  std::array<std::string, kKeys> expected;  // the value each key must hold; empty while never written
  for (int run = 0; run < kRuns; ++run) {
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      close(ends[0]);
      WriteUntilKilled(run, ends[1]);
    }
    close(ends[1]);
    // Some writes first, then a kill at a random point of a later one.
    const int writesBeforeKill = std::uniform_int_distribution<int>(1, 4)(random);
    int reported = -1;
    pollfd watch{ends[0], POLLIN, 0};
    while (reported + 1 < writesBeforeKill && poll(&watch, 1, 20000) > 0 &&
           read(ends[0], &reported, sizeof reported) == sizeof reported) {
    }
    ASSERT_EQ(reported + 1, writesBeforeKill) << "the writer stalled in run " << run;
    // A write syncs the file and its folder: a few milliseconds, more on a busy disk.
    usleep(std::uniform_int_distribution<useconds_t>(0, 8000)(random));
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the writer ended on its own in run " << run;
    while (read(ends[0], &reported, sizeof reported) == sizeof reported) {
    }
    close(ends[0]);

    ASSERT_TRUE(ParsesAsIni(profile)) << "run " << run;
    for (int write = 0; write <= reported; ++write) expected[write % kKeys] = ValueOf(run, write);
    const int underWay = reported + 1;
    for (int key = 0; key < kKeys; ++key) {
      std::string value;
      const bool stored = ReadPrivateProfileValue(kSection, KeyOf(key).c_str(), value, profile.c_str());
      if (key == underWay % kKeys && stored && value == ValueOf(run, underWay)) {
        expected[key] = value;
        continue;
      }
      if (expected[key].empty())
        EXPECT_FALSE(stored) << "run " << run << ": a key never written";
      else
        EXPECT_EQ(value, expected[key]) << "run " << run << ", " << KeyOf(key);
    }
  }
}

}  // namespace
