#include "services/radar/capture_stream.h"

#include <fcntl.h>
#include <pcap/pcap.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace radarsim {

// What pcap reads through a FILE*: a zlib stream over the file, or the bytes in memory. It records
// whether the input reached its end, so that a failed read of a record can be told to be a truncation.
struct CaptureStream::Source {
  gzFile file = nullptr;
  std::vector<std::uint8_t> memory;
  std::size_t position = 0;
  bool atEnd = false;
  bool cutShort = false;  // a compressed stream that ends inside its data
  std::string readError;

  ssize_t Read(char* buffer, std::size_t size) {
    if (file == nullptr) {
      const std::size_t count = std::min(size, memory.size() - position);
      std::memcpy(buffer, memory.data() + position, count);
      position += count;
      if (count < size) atEnd = true;
      return static_cast<ssize_t>(count);
    }
    const unsigned chunk = static_cast<unsigned>(std::min<std::size_t>(size, 1u << 30));
    const int count = gzread(file, buffer, chunk);
    if (count >= 0 && static_cast<unsigned>(count) == chunk) return count;
    int code = Z_OK;
    const char* message = gzerror(file, &code);
    if (code == Z_BUF_ERROR) cutShort = true;
    if (count >= 0 || cutShort) {
      atEnd = true;
      return std::max(count, 0);
    }
    readError = message != nullptr ? message : "read error";
    errno = EIO;
    return -1;
  }
};

namespace {

ssize_t ReadSource(void* cookie, char* buffer, std::size_t size) {
  return static_cast<CaptureStream::Source*>(cookie)->Read(buffer, size);
}

int CloseSource(void*) { return 0; }  // the stream owns the source and closes it itself

}  // namespace

std::unique_ptr<CaptureStream> CaptureStream::OpenFile(const std::string& path, std::string& error) {
  // Opened without blocking and refused unless a regular file: a FIFO or a device would hang the
  // reader or hand it endless bytes.
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    error = "cannot open: " + std::string(std::strerror(errno));
    return nullptr;
  }
  struct stat status {};
  if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
    close(fd);
    error = "cannot open: not a regular file";
    return nullptr;
  }
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  auto source = std::make_unique<Source>();
  errno = 0;
  source->file = gzdopen(fd, "rb");
  if (source->file == nullptr) {
    close(fd);
    error = "cannot open: " + std::string(errno != 0 ? std::strerror(errno) : "out of memory");
    return nullptr;
  }
  // Large reads for a large capture; a small one (a fuzzer's input, a short recording) is not given
  // buffers many times its size.
  constexpr off_t kSmallestBuffer = 8192, kLargestBuffer = 1 << 17;
  gzbuffer(source->file, static_cast<unsigned>(std::clamp<off_t>(status.st_size, kSmallestBuffer, kLargestBuffer)));
  return Open(std::move(source), error);
}

std::unique_ptr<CaptureStream> CaptureStream::OpenMemory(std::vector<std::uint8_t> bytes, std::string& error) {
  auto source = std::make_unique<Source>();
  source->memory = std::move(bytes);
  return Open(std::move(source), error);
}

std::unique_ptr<CaptureStream> CaptureStream::Open(std::unique_ptr<Source> source, std::string& error) {
  std::unique_ptr<CaptureStream> stream(new CaptureStream);
  stream->source_ = std::move(source);
  FILE* file = fopencookie(stream->source_.get(), "rb", {ReadSource, nullptr, nullptr, CloseSource});
  if (file == nullptr) {
    error = "cannot open: " + std::string(std::strerror(errno));
    return nullptr;
  }
  char pcapError[PCAP_ERRBUF_SIZE] = {};
  stream->pcap_ = pcap_fopen_offline_with_tstamp_precision(file, PCAP_TSTAMP_PRECISION_MICRO, pcapError);
  if (stream->pcap_ == nullptr) {
    std::fclose(file);
    const Source& input = *stream->source_;
    if (!input.readError.empty()) {
      error = "cannot read: " + input.readError;
    } else if (input.cutShort || (input.atEnd && std::strstr(pcapError, "truncated") != nullptr)) {
      error = "the capture is truncated in its file header";
    } else {
      error = "not a pcap capture (" + std::string(pcapError) + ")";
    }
    return nullptr;
  }
  return stream;
}

CaptureStream::~CaptureStream() {
  if (pcap_ != nullptr) pcap_close(pcap_);  // closes the FILE*, which leaves the source to us
  if (source_ && source_->file != nullptr) gzclose(source_->file);
}

int CaptureStream::LinkType() const { return pcap_datalink(pcap_); }

CaptureStream::Result CaptureStream::Next(CaptureRecord& record) {
  pcap_pkthdr* header = nullptr;
  const std::uint8_t* bytes = nullptr;
  const int result = pcap_next_ex(pcap_, &header, &bytes);
  if (result == 1) {
    record.seconds = static_cast<double>(header->ts.tv_sec) + static_cast<double>(header->ts.tv_usec) * 1e-6;
    record.bytes = ByteView(bytes, header->caplen);
    return Result::kRecord;
  }
  if (result == PCAP_ERROR_BREAK) return source_->cutShort ? Result::kTruncated : Result::kEnd;
  // libpcap words a record cut by the end of the input as a truncated dump file.
  if (source_->cutShort || (source_->atEnd && std::strstr(pcap_geterr(pcap_), "truncated") != nullptr)) {
    return Result::kTruncated;
  }
  error_ = source_->readError.empty() ? pcap_geterr(pcap_) : source_->readError;
  return Result::kError;
}

}  // namespace radarsim
