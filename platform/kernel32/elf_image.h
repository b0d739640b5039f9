#pragma once
// Reading a shared library's file without loading it: the libraries it needs and the bytes of one of
// its exported data symbols. Used for the altered search path and for libraries opened as data files.
// The file is untrusted: every offset and size is checked against the file.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <elf.h>

class ElfImage {
public:
  enum class OpenStatus { kOpened, kCannotOpen, kNotElf };

  // Opens `path` and reads its headers; the status says why not when nothing is answered.
  static std::optional<ElfImage> Open(const std::string& path, OpenStatus& status);
  ElfImage(ElfImage&& other) noexcept;
  ElfImage& operator=(ElfImage&&) = delete;
  ElfImage(const ElfImage&) = delete;
  ~ElfImage();

  // The names of the libraries this one needs, in the order the file lists them.
  std::vector<std::string> NeededLibraries() const;
  // The bytes of the exported symbol `name`, when it is defined with file contents.
  std::optional<std::vector<unsigned char>> ExportedSymbolBytes(std::string_view name) const;

private:
  ElfImage(int fd, unsigned long long fileSize) : fd_(fd), fileSize_(fileSize) {}
  bool ReadAt(unsigned long long offset, void* to, unsigned long long size) const;
  std::optional<std::vector<char>> SectionContents(const Elf64_Shdr& section) const;
  const Elf64_Shdr* LinkedSection(const Elf64_Shdr& section) const;

  int fd_ = -1;
  unsigned long long fileSize_ = 0;
  std::vector<Elf64_Shdr> sections_;
};
