#include "kernel32/private_profile_store.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace {

constexpr mode_t kNewFolderMode = 0700;
constexpr mode_t kNewFileMode = 0666;  // narrowed by the umask

int RetryOnInterrupt(const std::function<int()>& call) {
  int result;
  do {
    result = call();
  } while (result < 0 && errno == EINTR);
  return result;
}

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

bool CreateFolders(const std::string& folder) {
  for (std::size_t end = folder.find('/', 1);; end = folder.find('/', end + 1)) {
    const std::string prefix = folder.substr(0, end);
    if (mkdir(prefix.c_str(), kNewFolderMode) != 0 && errno != EEXIST) return false;
    if (end == std::string::npos) return true;
  }
}

// The whole file; `missing` tells a file that does not exist from an empty one.
bool ReadWholeFile(const std::string& path, std::string& text, bool& missing) {
  text.clear();
  missing = false;
  const int fd = RetryOnInterrupt([&] { return open(path.c_str(), O_RDONLY | O_CLOEXEC); });
  if (fd < 0) {
    missing = errno == ENOENT;
    return missing;
  }
  char buffer[16384];
  bool ok = true;
  for (;;) {
    const ssize_t got = read(fd, buffer, sizeof buffer);
    if (got == 0) break;
    if (got < 0) {
      if (errno == EINTR) continue;
      ok = false;
      break;
    }
    text.append(buffer, static_cast<std::size_t>(got));
  }
  close(fd);
  return ok;
}

bool WriteAll(int fd, const std::string& text) {
  std::size_t written = 0;
  while (written < text.size()) {
    const ssize_t put = write(fd, text.data() + written, text.size() - written);
    if (put < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    written += static_cast<std::size_t>(put);
  }
  return true;
}

// Makes the rename itself durable; folders that cannot be flushed are left as they are.
void FlushFolder(const std::string& folder) {
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

// Writes `text` beside `path` and renames it over `path`, keeping the permissions of the file replaced.
bool ReplaceFile(const std::string& path, const std::string& text) {
  const std::string temporary = path + ".tmp";
  const int fd =
      RetryOnInterrupt([&] { return open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, kNewFileMode); });
  if (fd < 0) return false;
  struct stat previous {};
  if (stat(path.c_str(), &previous) == 0) fchmod(fd, previous.st_mode & 07777);
  const bool written = WriteAll(fd, text) && fsync(fd) == 0;
  const bool closed = close(fd) == 0;
  if (!written || !closed || rename(temporary.c_str(), path.c_str()) != 0) {
    unlink(temporary.c_str());
    return false;
  }
  FlushFolder(FolderOf(path));
  return true;
}

// Exclusive lock on "<path>.lock" for the life of the object. The lock file stays in place: removing it
// would let two writers lock two different files.
class ProfileWriteLock {
public:
  explicit ProfileWriteLock(const std::string& path) {
    fd_ = RetryOnInterrupt(
        [&] { return open((path + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, kNewFileMode); });
    if (fd_ >= 0 && RetryOnInterrupt([&] { return flock(fd_, LOCK_EX); }) != 0) {
      close(fd_);
      fd_ = -1;
    }
  }
  ~ProfileWriteLock() {
    if (fd_ >= 0) close(fd_);  // closing releases the lock
  }
  ProfileWriteLock(const ProfileWriteLock&) = delete;
  ProfileWriteLock& operator=(const ProfileWriteLock&) = delete;

  bool IsHeld() const { return fd_ >= 0; }

private:
  int fd_ = -1;
};

}  // namespace

bool LoadProfile(const std::string& path, ProfileDocument& document) {
  std::string text;
  bool missing = false;
  if (path.empty() || !ReadWholeFile(path, text, missing)) {
    document = ProfileDocument();
    return false;
  }
  return document.Parse(text);
}

bool UpdateProfile(const std::string& path, const std::function<bool(ProfileDocument&)>& change) {
  if (path.empty() || !CreateFolders(FolderOf(path))) return false;
  const ProfileWriteLock lock(path);
  if (!lock.IsHeld()) return false;
  ProfileDocument document;
  if (!LoadProfile(path, document)) return false;
  if (!change(document)) return true;
  return ReplaceFile(path, document.Serialize());
}
