#include "private_profile_store.h"

#include "extensions/whole_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <mutex>
#include <unordered_map>
#include <utility>

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
  // Nearly always there already: one look instead of a mkdir for every part of the path.
  struct stat status {};
  if (stat(folder.c_str(), &status) == 0 && S_ISDIR(status.st_mode)) return true;
  for (std::size_t end = folder.find('/', 1);; end = folder.find('/', end + 1)) {
    const std::string prefix = folder.substr(0, end);
    if (mkdir(prefix.c_str(), kNewFolderMode) != 0 && errno != EEXIST) return false;
    if (end == std::string::npos) return true;
  }
}

// Writes `text` whole over `path` (through a link, to its target). Answers the new file, still open, or
// -1 with the reason in `error` (and `path` as it was).
int ReplaceFile(const std::string& path, const std::string& text, std::string& error) {
  WholeFile file;
  if (!file.Open(path, error)) return -1;
  if (!file.Write(text, error) || !file.Commit(error)) return -1;
  return file.Release();
}

// The reason of the process's last failed profile write, until someone takes it.
std::mutex g_failureMutex;
std::string g_lastFailure;

void RecordFailure(const std::string& reason) {
  std::lock_guard lock(g_failureMutex);
  g_lastFailure = reason;
}

// Exclusive lock on "<path>.lock" for the life of the object. The lock file stays in place: removing it
// would let two writers lock two different files.
class ProfileWriteLock {
public:
  explicit ProfileWriteLock(const std::string& path) {
    fd_ = RetryOnInterrupt(
        [&] { return open((path + ".lock").c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, kNewFileMode); });
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

// What tells one version of the file on disk from another.
struct FileStamp {
  bool exists = false;
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = 0;
  timespec modified{};
  timespec changed{};

  static FileStamp Of(const struct stat& status) {
    return FileStamp{true, status.st_dev, status.st_ino, status.st_size, status.st_mtim, status.st_ctim};
  }
  bool operator==(const FileStamp& other) const {
    return exists == other.exists && device == other.device && inode == other.inode && size == other.size &&
           modified.tv_sec == other.modified.tv_sec && modified.tv_nsec == other.modified.tv_nsec &&
           changed.tv_sec == other.changed.tv_sec && changed.tv_nsec == other.changed.tv_nsec;
  }
};

class FileHandle {
public:
  FileHandle() = default;
  explicit FileHandle(int fd) : fd_(fd) {}
  ~FileHandle() { Reset(); }
  FileHandle(FileHandle&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  FileHandle& operator=(FileHandle&& other) noexcept {
    if (this != &other) {
      Reset();
      fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;

  int Get() const { return fd_; }
  void Reset() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
  }

private:
  int fd_ = -1;
};

// The whole content of an open file from its start, into `text` (whose memory is reused). `expected` is
// the size the file is thought to have: one byte more is asked for, so that a file grown since is read
// whole all the same.
bool ReadAll(int fd, std::size_t expected, std::string& text) {
  text.resize(std::max<std::size_t>(expected + 1, 4096));
  std::size_t got = 0;
  for (;;) {
    if (got == text.size()) text.resize(2 * text.size());
    const ssize_t count = pread(fd, text.data() + got, text.size() - got, static_cast<off_t>(got));
    if (count == 0) break;
    if (count < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    got += static_cast<std::size_t>(count);
  }
  text.resize(got);
  return true;
}

// A file changed within this long after the version we hold was stamped may carry the same time stamps
// (file times are taken from a coarse clock, on some file systems to the second): until then the stamps
// alone cannot vouch for the file, and its bytes are compared.
constexpr std::int64_t kStampSlackNanoseconds = 2'000'000'000;

std::int64_t Nanoseconds(const timespec& time) {
  return static_cast<std::int64_t>(time.tv_sec) * 1'000'000'000 + time.tv_nsec;
}

std::int64_t NowNanoseconds() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  return Nanoseconds(now);
}

// One profile as last read or written. The file it came from stays open: while it is, the system cannot
// give its inode number to another file, so a file renamed over the path always shows a new inode.
struct CachedProfile {
  FileStamp stamp;
  FileHandle file;
  std::string text;  // the file's bytes
  ProfileDocument document;
  bool stampVouches = false;  // set once the file's times are old enough to tell any later change
  std::uint64_t lastUse = 0;

  // Takes the stamp of `handle`'s file, which holds `text`.
  bool Adopt(FileHandle handle) {
    struct stat status {};
    if (handle.Get() >= 0 && fstat(handle.Get(), &status) != 0) return false;
    stamp = handle.Get() >= 0 ? FileStamp::Of(status) : FileStamp();
    file = std::move(handle);
    Age();
    return true;
  }

  // Lets the stamp vouch for the file once its last change is old enough.
  void Age() {
    const std::int64_t lastChange = std::max(Nanoseconds(stamp.modified), Nanoseconds(stamp.changed));
    stampVouches = !stamp.exists || NowNanoseconds() - lastChange > kStampSlackNanoseconds;
  }
};

// The parsed profiles of the process, by path. Every use holds the cache's lock.
class ProfileCache {
public:
  // A host has one profile or two; tests make many. The least recently used beyond this are dropped.
  static constexpr std::size_t kMaxProfiles = 8;

  std::mutex& Mutex() { return mutex_; }

  // The current profile at `path`, read again when the file may have changed since; null when the file
  // exists but cannot be read. `verify` compares the file's bytes whatever its stamp says.
  CachedProfile* Current(const std::string& path, bool verify) {
    FileStamp stamp;
    struct stat status {};
    if (stat(path.c_str(), &status) == 0) {
      stamp = FileStamp::Of(status);
    } else if (errno != ENOENT) {
      Forget(path);
      return nullptr;
    }
    CachedProfile& cached = Slot(path);
    const bool known = cached.lastUse != 0;
    cached.lastUse = ++uses_;
    if (known && cached.stamp == stamp) {
      if (!verify && cached.stampVouches) return &cached;
      // The file held open is the one at the path (its inode cannot be another's while open): its bytes
      // are read again through it and compared, without opening the file anew.
      if (cached.file.Get() >= 0 && Recheck(cached)) return &cached;
    }
    if (!Load(path, cached, known)) {
      Forget(path);
      return nullptr;
    }
    return &cached;
  }

  // Records that the file at `path` now holds `text`, which `cached`'s document serialises to, as written
  // through `file`.
  void Written(const std::string& path, FileHandle file, std::string text) {
    CachedProfile& cached = Slot(path);
    cached.text = std::move(text);
    if (!cached.Adopt(std::move(file))) Forget(path);
  }

  void Forget(const std::string& path) { profiles_.erase(path); }

private:
  CachedProfile& Slot(const std::string& path) {
    if (profiles_.size() >= kMaxProfiles && profiles_.count(path) == 0) {
      const auto oldest = std::min_element(profiles_.begin(), profiles_.end(), [](const auto& a, const auto& b) {
        return a.second.lastUse < b.second.lastUse;
      });
      profiles_.erase(oldest);
    }
    return profiles_[path];
  }

  // Reads the file again through the handle `cached` holds; parses it only when its bytes changed (a
  // file rewritten in place, its stamp unchanged within the clock's resolution). False when it cannot
  // be read.
  bool Recheck(CachedProfile& cached) {
    if (!ReadAll(cached.file.Get(), cached.text.size(), buffer_)) return false;
    if (buffer_ != cached.text) {
      cached.document.Parse(buffer_);
      cached.text.swap(buffer_);
    }
    cached.Age();
    return true;
  }

  // Reads the file through one open handle, so that the stamp and the bytes are of the same file; parses
  // them only when they differ from the bytes held.
  bool Load(const std::string& path, CachedProfile& cached, bool known) {
    FileHandle file(RetryOnInterrupt([&] { return open(path.c_str(), O_RDONLY | O_CLOEXEC); }));
    if (file.Get() < 0 && errno != ENOENT) return false;
    if (file.Get() < 0) {
      buffer_.clear();
    } else if (!ReadAll(file.Get(), cached.text.size(), buffer_)) {
      return false;
    }
    if (!cached.Adopt(std::move(file))) return false;
    if (known && buffer_ == cached.text) return true;
    cached.document.Parse(buffer_);
    cached.text.swap(buffer_);
    return true;
  }

  std::mutex mutex_;
  std::unordered_map<std::string, CachedProfile> profiles_;
  std::string buffer_;  // the bytes last read, its memory kept for the next read
  std::uint64_t uses_ = 0;
};

// Never destroyed: profiles may be written while the process's other static objects are destroyed.
ProfileCache& TheProfileCache() {
  static ProfileCache* cache = new ProfileCache;
  return *cache;
}

}  // namespace

bool ReadProfile(const std::string& path, const std::function<void(const ProfileDocument&)>& read) {
  if (path.empty()) return false;
  ProfileCache& cache = TheProfileCache();
  std::lock_guard lock(cache.Mutex());
  const CachedProfile* current = cache.Current(path, false);
  if (!current) return false;
  read(current->document);
  return true;
}

bool UpdateProfile(const std::string& path, const std::function<bool(ProfileDocument&)>& change) {
  if (path.empty()) return false;
  if (!CreateFolders(FolderOf(path))) {
    RecordFailure("cannot make the folder of " + path + ": " + std::strerror(errno));
    return false;
  }
  const ProfileWriteLock lock(path);
  if (!lock.IsHeld()) {
    RecordFailure("cannot lock " + path + ".lock: " + std::strerror(errno));
    return false;
  }
  ProfileCache& cache = TheProfileCache();
  std::lock_guard cacheLock(cache.Mutex());
  // The bytes on disk are compared, whatever the stamps say: a write never builds on a stale profile.
  CachedProfile* current = cache.Current(path, true);
  if (!current) {
    RecordFailure("cannot read " + path + ": " + std::strerror(errno));
    return false;
  }
  if (!change(current->document)) return true;
  std::string text = current->document.Serialize();
  std::string error;
  FileHandle written(ReplaceFile(path, text, error));
  if (written.Get() < 0) {
    // The document holds a change the file does not: read the file afresh next time.
    cache.Forget(path);
    RecordFailure(error);
    return false;
  }
  cache.Written(path, std::move(written), std::move(text));
  return true;
}

std::string TakeProfileWriteFailure() {
  std::lock_guard lock(g_failureMutex);
  return std::exchange(g_lastFailure, std::string());
}
