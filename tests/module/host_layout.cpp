#include "host_layout.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

extern char** environ;

namespace fs = std::filesystem;

namespace {
std::string ReadWhole(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
}  // namespace

HostLayout::HostLayout(const std::string& program) {
  std::string pattern = (fs::temp_directory_path() / "host-layout-XXXXXX").string();
  if (!::mkdtemp(pattern.data())) throw std::runtime_error("cannot make a scratch folder");
  root_ = pattern;
  fs::create_directories(root_ / "bin");
  program_ = root_ / "bin" / fs::path(program).filename();
  fs::copy_file(program, program_);
}

HostLayout::~HostLayout() {
  std::error_code ignored;
  fs::remove_all(root_, ignored);
}

void HostLayout::LinkLibrary(const std::string& name, const std::string& target, const std::string& folder) {
  fs::create_directories(root_ / folder);
  fs::create_symlink(target, root_ / folder / name);
}

ProcessResult HostLayout::Run(const std::vector<std::string>& arguments,
                              const std::vector<std::string>& environment) const {
  const fs::path out = root_ / "stdout.txt";
  const fs::path err = root_ / "stderr.txt";
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);

  std::vector<std::string> argumentTexts{program_.string()};
  argumentTexts.insert(argumentTexts.end(), arguments.begin(), arguments.end());
  std::vector<std::string> environmentTexts;
  for (char** entry = environ; *entry; ++entry)
    if (std::string(*entry).rfind("LD_LIBRARY_PATH=", 0) != 0) environmentTexts.emplace_back(*entry);
  environmentTexts.push_back(std::string("LD_LIBRARY_PATH=") + SORVIK_STAGE_BIN_DIR);
  environmentTexts.insert(environmentTexts.end(), environment.begin(), environment.end());

  auto pointers = [](std::vector<std::string>& texts) {
    std::vector<char*> result;
    for (std::string& text : texts) result.push_back(text.data());
    result.push_back(nullptr);
    return result;
  };
  std::vector<char*> argv = pointers(argumentTexts);
  std::vector<char*> envp = pointers(environmentTexts);

  ProcessResult result;
  pid_t child = 0;
  const int spawned = posix_spawn(&child, program_.c_str(), &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) throw std::runtime_error("cannot start " + program_.string());
  int status = 0;
  ::waitpid(child, &status, 0);
  if (WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
  result.standardOutput = ReadWhole(out);
  result.standardError = ReadWhole(err);
  return result;
}
