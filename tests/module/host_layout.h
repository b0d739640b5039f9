#pragma once
// A host installation in a scratch folder for tests that need some service libraries missing: bin/ with
// a copy of a host program and links to chosen libraries of the staged build, and optionally SORVIK/.
// Programs are run in it as separate processes.
#include <filesystem>
#include <string>
#include <vector>

struct ProcessResult {
  int exitCode = -1;  // -1: did not exit normally
  std::string standardOutput;
  std::string standardError;
};

class HostLayout {
public:
  // Copies `program` into bin/ (a copy, so that the process's executable lies in bin/).
  explicit HostLayout(const std::string& program);
  ~HostLayout();
  HostLayout(const HostLayout&) = delete;
  HostLayout& operator=(const HostLayout&) = delete;

  // Links `target` into bin/ (or `folder`) under `name`.
  void LinkLibrary(const std::string& name, const std::string& target, const std::string& folder = "bin");
  // Runs the copied program with `arguments`; the staged platform libraries are found through the
  // library path. `environment` entries ("NAME=value") are added to the test's own.
  ProcessResult Run(const std::vector<std::string>& arguments,
                    const std::vector<std::string>& environment = {}) const;
  const std::filesystem::path& Root() const { return root_; }

private:
  std::filesystem::path root_;
  std::filesystem::path program_;
};
