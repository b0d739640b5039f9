#include "elf_image.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

namespace {
// No resource table or library list comes near this; a larger size is a damaged file.
constexpr unsigned long long kMaxSectionSize = 64ull << 20;

// The text at `offset` of a string table, when it is terminated inside the table.
std::optional<std::string_view> StringAt(const std::vector<char>& table, unsigned long long offset) {
  if (offset >= table.size()) return std::nullopt;
  const char* begin = table.data() + offset;
  const void* end = std::memchr(begin, '\0', table.size() - offset);
  if (!end) return std::nullopt;
  return std::string_view(begin, static_cast<std::size_t>(static_cast<const char*>(end) - begin));
}

// The symbol's bytes lie inside the section that holds it.
bool LiesWithin(const Elf64_Sym& symbol, const Elf64_Shdr& section) {
  if (symbol.st_size > kMaxSectionSize || symbol.st_value < section.sh_addr) return false;
  const unsigned long long start = symbol.st_value - section.sh_addr;
  return start <= section.sh_size && symbol.st_size <= section.sh_size - start;
}
}  // namespace

std::optional<ElfImage> ElfImage::Open(const std::string& path, OpenStatus& status) {
  status = OpenStatus::kCannotOpen;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return std::nullopt;
  }
  ElfImage image(fd, static_cast<unsigned long long>(info.st_size));
  status = OpenStatus::kNotElf;
  Elf64_Ehdr header{};
  if (!image.ReadAt(0, &header, sizeof header)) return std::nullopt;
  if (std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 || header.e_ident[EI_CLASS] != ELFCLASS64 ||
      header.e_ident[EI_DATA] != ELFDATA2LSB || (header.e_type != ET_DYN && header.e_type != ET_EXEC))
    return std::nullopt;
  if (header.e_shoff != 0 && header.e_shnum != 0) {
    if (header.e_shentsize != sizeof(Elf64_Shdr)) return std::nullopt;
    image.sections_.resize(header.e_shnum);
    if (!image.ReadAt(header.e_shoff, image.sections_.data(),
                      static_cast<unsigned long long>(header.e_shnum) * sizeof(Elf64_Shdr)))
      return std::nullopt;
  }
  status = OpenStatus::kOpened;
  return image;
}

ElfImage::ElfImage(ElfImage&& other) noexcept
    : fd_(other.fd_), fileSize_(other.fileSize_), sections_(std::move(other.sections_)) {
  other.fd_ = -1;
}

ElfImage::~ElfImage() {
  if (fd_ >= 0) ::close(fd_);
}

bool ElfImage::ReadAt(unsigned long long offset, void* to, unsigned long long size) const {
  if (offset > fileSize_ || size > fileSize_ - offset) return false;
  auto* bytes = static_cast<char*>(to);
  while (size > 0) {
    const ssize_t n = ::pread(fd_, bytes, size, static_cast<off_t>(offset));
    if (n <= 0) return false;
    bytes += n;
    offset += static_cast<unsigned long long>(n);
    size -= static_cast<unsigned long long>(n);
  }
  return true;
}

std::optional<std::vector<char>> ElfImage::SectionContents(const Elf64_Shdr& section) const {
  if (section.sh_type == SHT_NOBITS || section.sh_size > kMaxSectionSize) return std::nullopt;
  std::vector<char> contents(section.sh_size);
  if (!ReadAt(section.sh_offset, contents.data(), section.sh_size)) return std::nullopt;
  return contents;
}

const Elf64_Shdr* ElfImage::LinkedSection(const Elf64_Shdr& section) const {
  return section.sh_link < sections_.size() ? &sections_[section.sh_link] : nullptr;
}

std::vector<std::string> ElfImage::NeededLibraries() const {
  std::vector<std::string> names;
  for (const Elf64_Shdr& section : sections_) {
    if (section.sh_type != SHT_DYNAMIC) continue;
    const Elf64_Shdr* stringSection = LinkedSection(section);
    if (!stringSection) continue;
    const auto entries = SectionContents(section);
    const auto strings = SectionContents(*stringSection);
    if (!entries || !strings) continue;
    for (std::size_t at = 0; at + sizeof(Elf64_Dyn) <= entries->size(); at += sizeof(Elf64_Dyn)) {
      Elf64_Dyn entry{};
      std::memcpy(&entry, entries->data() + at, sizeof entry);
      if (entry.d_tag == DT_NULL) break;
      if (entry.d_tag != DT_NEEDED) continue;
      if (const auto name = StringAt(*strings, entry.d_un.d_val)) names.emplace_back(*name);
    }
  }
  return names;
}

std::optional<std::vector<unsigned char>> ElfImage::ExportedSymbolBytes(std::string_view name) const {
  for (const Elf64_Shdr& section : sections_) {
    if (section.sh_type != SHT_DYNSYM || section.sh_entsize != sizeof(Elf64_Sym)) continue;
    const Elf64_Shdr* stringSection = LinkedSection(section);
    if (!stringSection) continue;
    const auto symbols = SectionContents(section);
    const auto strings = SectionContents(*stringSection);
    if (!symbols || !strings) continue;
    for (std::size_t at = 0; at + sizeof(Elf64_Sym) <= symbols->size(); at += sizeof(Elf64_Sym)) {
      Elf64_Sym symbol{};
      std::memcpy(&symbol, symbols->data() + at, sizeof symbol);
      if (symbol.st_shndx == SHN_UNDEF || symbol.st_shndx >= sections_.size()) continue;
      if (StringAt(*strings, symbol.st_name) != name) continue;
      const Elf64_Shdr& home = sections_[symbol.st_shndx];
      if (home.sh_type == SHT_NOBITS || !LiesWithin(symbol, home)) return std::nullopt;
      std::vector<unsigned char> bytes(symbol.st_size);
      if (!ReadAt(home.sh_offset + (symbol.st_value - home.sh_addr), bytes.data(), symbol.st_size))
        return std::nullopt;
      return bytes;
    }
  }
  return std::nullopt;
}
