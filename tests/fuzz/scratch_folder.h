#pragma once
// A folder of a fuzz target's own for the files it hands to the code under test, removed at exit. In
// memory where the system has a memory file system: the profile syncs every write to disk, which would
// otherwise take most of each run.
#include <stdlib.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

class FuzzScratchFolder {
public:
  FuzzScratchFolder() {
    std::string pattern = std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : "/tmp";
    pattern += "/sorvik-fuzz-XXXXXX";
    if (!mkdtemp(pattern.data())) {
      std::perror("scratch folder");
      std::abort();
    }
    path_ = pattern;
  }
  ~FuzzScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  FuzzScratchFolder(const FuzzScratchFolder&) = delete;
  FuzzScratchFolder& operator=(const FuzzScratchFolder&) = delete;

  std::string File(const char* name) const { return path_ + "/" + name; }

private:
  std::string path_;
};
