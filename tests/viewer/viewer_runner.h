#pragma once
// Runs the staged viewer program as its user does and collects what it prints and its exit code.
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

struct ViewerResult {
  int exitCode = -1;
  std::string output;
};

// A path in this test process's own scratch folder.
inline std::string Scratch(const std::string& name) {
  const auto path = std::filesystem::temp_directory_path() / ("viewer-run-" + std::to_string(getpid())) / name;
  std::filesystem::create_directories(path.parent_path());
  return path.string();
}

// Starts a program staged beside the test programs, its command line given by `command`.
inline FILE* StartStaged(const std::string& command, const std::string& launcher = "") {
  const std::string folder = std::filesystem::read_symlink("/proc/self/exe").parent_path().string();
  return popen((launcher + " " + folder + "/" + command + " 2>&1").c_str(), "r");
}

// Writes a radar INI that replays the recording at its own pace, looping, with the given calibration; the
// capture is named by its absolute path.
inline std::string ReplayRadarConfig(const std::string& name, double bearingAlignment, double rangeFactor) {
  const std::string path = Scratch("replay-" + name + ".ini");
  std::ofstream(path) << "[Radar]\nWarmupSeconds = 1\nTransmitAfterWarmup = 1\nSource = replay\n"
                      << "Capture = " SORVIK_SOURCE_DIR "/data/recordings/halo_and_0183.pcap.gz\n"
                      << "Pace = recorded\nAtEnd = loop\nBearingAlignment = " << bearingAlignment
                      << "\nRangeFactor = " << rangeFactor << "\n";
  return path;
}

// Starts the viewer with `arguments` (output and errors both read back); null when it cannot start.
// The viewer is staged beside the test programs; `launcher` is a command line that runs it ("timeout 2").
inline FILE* StartViewer(const std::string& arguments, const std::string& launcher = "") {
  return StartStaged("sorvik_viewer --quiet " + arguments, launcher);
}

// Waits for a program started by StartViewer or StartStaged to end.
inline ViewerResult FinishViewer(FILE* pipe) {
  ViewerResult result;
  if (!pipe) return result;
  char buffer[4096];
  for (std::size_t read; (read = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) result.output.append(buffer, read);
  const int status = pclose(pipe);
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return result;
}
