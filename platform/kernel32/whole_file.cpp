#include "extensions/whole_file.h"

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

constexpr mode_t kNewFileMode = 0666;  // narrowed by the umask
constexpr int kNameAttempts = 100;
// As many links as the system itself follows before it gives up.
constexpr int kMaxLinks = 40;

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string Failure(const std::string& what, const std::string& path, int number) {
  return what + " " + path + ": " + std::strerror(number);
}

// The file a chain of symbolic links at `path` ends at (`path` itself when it is no link).
bool FollowLinks(std::string path, std::string& target, std::string& error) {
  for (int links = 0; links <= kMaxLinks; ++links) {
    struct stat status {};
    if (lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) {
      target = path;
      return true;
    }
    char buffer[PATH_MAX];
    const ssize_t length = readlink(path.c_str(), buffer, sizeof buffer - 1);
    if (length < 0) {
      error = Failure("cannot follow the link", path, errno);
      return false;
    }
    const std::string next(buffer, static_cast<std::size_t>(length));
    path = next.front() == '/' ? next : FolderOf(path) + "/" + next;
  }
  error = Failure("cannot follow the link", path, ELOOP);
  return false;
}

std::string RandomSuffix() {
  std::uint64_t value = 0;
  if (getrandom(&value, sizeof value, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof value))
    value ^= static_cast<std::uint64_t>(getpid()) << 32 ^ reinterpret_cast<std::uintptr_t>(&value);
  char text[24];
  std::snprintf(text, sizeof text, ".%012llx", static_cast<unsigned long long>(value & 0xFFFFFFFFFFFFull));
  return text;
}

bool WriteAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t put = write(fd, data, size);
    if (put < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += put;
    size -= static_cast<std::size_t>(put);
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

}  // namespace

WholeFile::~WholeFile() {
  if (!committed_) Discard();
  else if (fd_ >= 0) close(fd_);
}

void WholeFile::Discard() {
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
  if (!temporary_.empty()) unlink(temporary_.c_str());
  temporary_.clear();
}

bool WholeFile::Open(const std::string& path, std::string& error) {
  Discard();
  committed_ = false;
  if (path.empty()) {
    error = "no file named";
    return false;
  }
  if (!FollowLinks(path, final_, error)) return false;
  struct stat status {};
  if (lstat(final_.c_str(), &status) == 0 && !S_ISREG(status.st_mode)) {
    error = "cannot write " + path + ": it is not a regular file";
    return false;
  }
  const std::string folder = FolderOf(final_);
  const std::string stem = final_ + ".tmp";
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    const std::string name = stem + RandomSuffix();
    // Readable too: a caller keeping the released descriptor reads the file back through it.
    const int fd = open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, kNewFileMode);
    if (fd >= 0) {
      fd_ = fd;
      temporary_ = name;
      if (lstat(final_.c_str(), &status) == 0) fchmod(fd_, status.st_mode & 07777);
      return true;
    }
    if (errno == EINTR || errno == EEXIST) continue;
    error = Failure("cannot write a file in", folder, errno);
    return false;
  }
  error = Failure("cannot write a file in", folder, EEXIST);
  return false;
}

bool WholeFile::Commit(std::string& error) {
  if (fd_ < 0 || committed_) {
    error = "no file to finish for " + final_;
    return false;
  }
  if (fsync(fd_) != 0) {
    error = Failure("cannot write", final_, errno);
    Discard();
    return false;
  }
  if (rename(temporary_.c_str(), final_.c_str()) != 0) {
    error = Failure("cannot replace", final_, errno);
    Discard();
    return false;
  }
  committed_ = true;
  temporary_.clear();
  FlushFolder(FolderOf(final_));
  return true;
}

int WholeFile::Release() {
  if (!committed_) return -1;
  const int fd = fd_;
  fd_ = -1;
  return fd;
}

bool WholeFile::Write(const std::string& bytes, std::string& error) {
  if (fd_ >= 0 && !committed_ && WriteAll(fd_, bytes.data(), bytes.size())) return true;
  error = Failure("cannot write", final_, fd_ < 0 ? EBADF : errno);
  return false;
}

bool WriteWholeFile(const std::string& path, const std::string& bytes, std::string& error) {
  WholeFile file;
  return file.Open(path, error) && file.Write(bytes, error) && file.Commit(error);
}
