#pragma once
// The files a run reads and writes, checked before it starts: each is a regular file or (an output) not
// there yet, so that no device is replaced and no FIFO holds the run for ever; and no output names an
// input or another output, so that a run never overwrites what it reads or one picture with another.
#include <string>
#include <vector>

struct NamedPath {
  std::string what;  // "--png", "the profile", ...
  std::string path;
};

// False with the first offence in `error`. Empty paths are skipped.
bool CheckRunPaths(const std::vector<NamedPath>& inputs, const std::vector<NamedPath>& outputs, std::string& error);
