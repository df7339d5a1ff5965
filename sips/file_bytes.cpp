#include "sips/file_bytes.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <utility>

namespace lensbrook::sips {

std::optional<std::string> readHead(const std::string& path, std::size_t limit) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string head(limit, '\0');
  in.read(head.data(), std::streamsize(limit));
  if (in.bad()) return std::nullopt;
  head.resize(std::size_t(in.gcount()));
  return head;
}

bool writeWhole(const std::string& path, std::string_view start, std::string_view rest) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(start.data(), std::streamsize(start.size()));
  out.write(rest.data(), std::streamsize(rest.size()));
  out.close();
  return bool(out);
}

std::optional<MappedFile> MappedFile::open(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  struct stat info;
  void* data = nullptr;
  bool ok = ::fstat(fd, &info) == 0;
  if (ok && info.st_size > 0) {
    // Not MAP_POPULATE: on a writable private mapping it copies every page up front.
    data = ::mmap(nullptr, std::size_t(info.st_size), PROT_READ | PROT_WRITE, MAP_PRIVATE, fd, 0);
    ok = data != MAP_FAILED;
  }
  int saved = errno;
  ::close(fd);
  errno = saved;
  if (!ok) return std::nullopt;
  return MappedFile(data, data ? std::size_t(info.st_size) : 0);
}

MappedFile::MappedFile(MappedFile&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)), size_(other.size_) {}

MappedFile::~MappedFile() {
  if (data_) ::munmap(data_, size_);
}

}  // namespace lensbrook::sips
