#pragma once
// Extensions of kernel32, not part of Win32: files written whole or not at all. The new content goes to a
// temporary file of a unique name beside the final one (created exclusively, never through a link), is
// flushed to disk and only then renamed over the final name. A writer that fails or is killed leaves the
// earlier file of that name as it was; a failure also removes its temporary file.
#include <string>

class WholeFile {
public:
  WholeFile() = default;
  ~WholeFile();  // removes the temporary file unless committed
  WholeFile(const WholeFile&) = delete;
  WholeFile& operator=(const WholeFile&) = delete;

  // Creates the temporary file for `path`. A `path` that is a symbolic link is written through to the
  // file it points to (the link stays a link). False with the reason in `error` when `path` names
  // something other than a regular file, or its folder takes no new file.
  bool Open(const std::string& path, std::string& error);

  // The temporary file, open for writing, and its name (for libraries that open files by name).
  int Descriptor() const { return fd_; }
  const std::string& TemporaryPath() const { return temporary_; }

  // Appends `bytes` to the temporary file; false with the reason in `error`.
  bool Write(const std::string& bytes, std::string& error);

  // Flushes the temporary file and renames it over the final name, keeping the earlier file's permissions.
  // False with the reason in `error` when any step fails; the earlier file is then untouched.
  bool Commit(std::string& error);

  // After Commit: hands over the descriptor, still open for reading and writing on the file now under
  // the final name.
  int Release();

private:
  void Discard();

  std::string final_;
  std::string temporary_;
  int fd_ = -1;
  bool committed_ = false;
};

// Writes `bytes` to `path` whole or not at all; false with the reason in `error`.
bool WriteWholeFile(const std::string& path, const std::string& bytes, std::string& error);
