#include "platform/posix/file_io.h"

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

#include "shared/path_text.h"

namespace lensbrook::posix {
namespace {

// Long names leave room for the suffix within the 255-byte name limit.
constexpr std::size_t kKeptNameBytes = 200;

std::string hiddenPrefix(const std::string& target) {
  std::string folder = parentPath(target);
  return absolutePath(folder, "." + lastPathComponent(target).substr(0, kKeptNameBytes) + ".");
}

}  // namespace

bool OwnedFd::reset() {
  if (fd_ < 0) return true;
  int result = ::close(fd_);
  fd_ = -1;
  return result == 0 || errno == EINTR;
}

bool writeAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    ssize_t written = ::write(fd, data, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += written;
    size -= static_cast<std::size_t>(written);
  }
  return true;
}

bool copyData(int from, int to) {
  char buffer[1 << 16];
  for (;;) {
    ssize_t count = ::read(from, buffer, sizeof buffer);
    if (count == 0) return true;
    if (count < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (!writeAll(to, buffer, static_cast<std::size_t>(count))) return false;
  }
}

int createHiddenTemp(const std::string& target, mode_t mode, std::string& tempPath) {
  static std::atomic<unsigned> counter{0};
  // O_EXCL refuses an existing name, links included, so a planted link cannot redirect the write.
  for (int attempt = 0; attempt < 100; ++attempt) {
    tempPath = hiddenPrefix(target) + std::to_string(::getpid()) + "-" +
               std::to_string(counter.fetch_add(1)) + ".tmp";
    int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

std::string makeHiddenTempFolder(const std::string& target) {
  std::string pattern = hiddenPrefix(target) + "XXXXXX";
  if (::mkdtemp(pattern.data()) == nullptr) return {};
  return pattern;
}

bool renameNoReplace(const std::string& from, const std::string& to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
  // File systems without the flag: a hard link cannot replace either, then drop the old name.
  struct stat existing;
  if (::lstat(to.c_str(), &existing) == 0) return false;
  if (::link(from.c_str(), to.c_str()) == 0) {
    ::unlink(from.c_str());
    return true;
  }
  return errno == EPERM && ::rename(from.c_str(), to.c_str()) == 0;
}

void timesOf(const struct stat& st, struct timespec times[2]) {
  times[0] = st.st_atim;
  times[1] = st.st_mtim;
}

void syncFolder(const std::string& folder) {
  OwnedFd fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (fd.valid()) ::fsync(fd.get());
}

bool readFolder(int fd, std::vector<FolderEntry>& entries) {
  DIR* dir = ::fdopendir(fd);
  if (dir == nullptr) {
    ::close(fd);
    return false;
  }
  errno = 0;
  while (struct dirent* entry = ::readdir(dir)) {
    std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    bool isFolder = entry->d_type == DT_DIR;
    if (entry->d_type == DT_UNKNOWN) {
      struct stat st;
      isFolder = ::fstatat(::dirfd(dir), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 &&
                 S_ISDIR(st.st_mode);
    }
    entries.push_back({std::move(name), isFolder});
    errno = 0;
  }
  bool complete = errno == 0;
  ::closedir(dir);
  return complete;
}

}  // namespace lensbrook::posix
