#include "host/ElfObject.h"

#include <elf.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

#if defined(__x86_64__)
constexpr Elf64_Half kMachine = EM_X86_64;
#elif defined(__aarch64__)
constexpr Elf64_Half kMachine = EM_AARCH64;
#else
#error "the plug-in executables' machine is not known for this processor"
#endif

bool ReadAt(int fd, void* to, size_t size, uint64_t offset) {
  size_t done = 0;
  while (done < size) {
    const ssize_t n = pread(fd, static_cast<char*>(to) + done, size - done, off_t(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += size_t(n);
  }
  return true;
}

std::string Problem(int fd) {
  struct stat st;
  if (fstat(fd, &st) != 0) return std::strerror(errno);
  const uint64_t size = uint64_t(st.st_size);
  Elf64_Ehdr header;
  if (size < sizeof(header) || !ReadAt(fd, &header, sizeof(header), 0) ||
      std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0)
    return "is not an ELF object";
  if (header.e_ident[EI_CLASS] != ELFCLASS64 || header.e_ident[EI_DATA] != ELFDATA2LSB ||
      header.e_machine != kMachine)
    return "is built for another machine (ELF class " + std::to_string(header.e_ident[EI_CLASS]) +
           ", machine " + std::to_string(header.e_machine) + ")";
  if (header.e_type != ET_DYN) return "is not a shared object";
  const uint64_t tableSize = uint64_t(header.e_phnum) * sizeof(Elf64_Phdr);
  if (header.e_phentsize != sizeof(Elf64_Phdr) || header.e_phnum == 0 || header.e_phoff > size ||
      tableSize > size - header.e_phoff)
    return "is cut short or damaged: its program header table lies outside the file";
  std::vector<Elf64_Phdr> segments(header.e_phnum);
  if (!ReadAt(fd, segments.data(), tableSize, header.e_phoff))
    return "cannot be read: " + std::string(std::strerror(errno));
  uint64_t end = 0;
  for (const Elf64_Phdr& s : segments)
    if (s.p_type == PT_LOAD) {
      if (s.p_offset > UINT64_MAX - s.p_filesz) return "is damaged: a segment overflows";
      end = std::max(end, s.p_offset + s.p_filesz);
    }
  if (end > size)
    return "is cut short: its loadable segments end at byte " + std::to_string(end) +
           ", the file has " + std::to_string(size);
  return "";
}

}  // namespace

std::string ElfObjectProblem(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return "cannot be read: " + std::string(std::strerror(errno));
  std::string problem = Problem(fd);
  close(fd);
  return problem;
}
