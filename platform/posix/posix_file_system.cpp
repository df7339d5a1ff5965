#include "platform/posix/posix_file_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <set>
#include <utility>

#include "platform/posix/file_io.h"
#include "shared/path_text.h"

namespace lensbrook {
namespace {

using posix::OwnedFd;

constexpr FileTime kNanosPerSecond = 1'000'000'000;

bool endsWith(const std::string& text, const std::string& suffix) {
  return text.size() >= suffix.size() &&
         text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// A folder's entries, once; a folder met again (a bind mount of an ancestor) gives nothing.
bool readFolderOnce(int fd, std::set<std::pair<dev_t, ino_t>>& seen,
                    std::vector<posix::FolderEntry>& entries) {
  struct stat st;
  if (fd < 0) return false;
  if (::fstat(fd, &st) != 0 || !seen.insert({st.st_dev, st.st_ino}).second) {
    ::close(fd);
    return false;
  }
  return posix::readFolder(fd, entries);
}

}  // namespace

bool PosixFileSystem::exists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0;
}

bool PosixFileSystem::isDirectory(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool PosixFileSystem::isPackage(const std::string& path) {
  return endsWith(lastPathComponent(path), ".app") && isDirectory(path);
}

std::vector<std::string> PosixFileSystem::listTree(const std::string& dir) {
  struct Frame {
    std::string relative;
    std::vector<posix::FolderEntry> entries;
    std::size_t next = 0;
  };
  std::vector<std::string> listed;
  std::set<std::pair<dev_t, ino_t>> seen;
  std::vector<Frame> stack(1);
  if (!readFolderOnce(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC), seen,
                      stack.back().entries)) {
    return listed;
  }
  while (!stack.empty()) {
    Frame& frame = stack.back();
    if (frame.next == frame.entries.size()) {
      stack.pop_back();
      continue;
    }
    posix::FolderEntry entry = frame.entries[frame.next++];
    std::string relative = frame.relative.empty() ? entry.name : frame.relative + "/" + entry.name;
    listed.push_back(relative);
    if (!entry.isFolder) continue;
    // O_NOFOLLOW: a folder swapped for a link after it was listed is not entered.
    Frame inner{relative, {}, 0};
    int fd = ::open(absolutePath(dir, relative).c_str(),
                    O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    readFolderOnce(fd, seen, inner.entries);
    stack.push_back(std::move(inner));
  }
  return listed;
}

std::string PosixFileSystem::displayName(const std::string& path) {
  return lastPathComponent(path);
}

std::optional<std::string> PosixFileSystem::readFile(const std::string& path) {
  OwnedFd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  struct stat st;
  if (!fd.valid() || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  std::string contents;
  char buffer[1 << 16];
  for (;;) {
    ssize_t count = ::read(fd.get(), buffer, sizeof buffer);
    if (count == 0) return contents;
    if (count < 0) {
      if (errno == EINTR) continue;
      return std::nullopt;
    }
    contents.append(buffer, static_cast<std::size_t>(count));
  }
}

bool PosixFileSystem::writeFileAtomically(const std::string& path, const std::string& contents) {
  std::string temp;
  OwnedFd fd(posix::createHiddenTemp(path, 0666, temp));
  if (!fd.valid()) return false;
  // A replaced file keeps its permissions; a new one gets the usual 0666 less the umask.
  struct stat old;
  bool ok = (::stat(path.c_str(), &old) != 0 || ::fchmod(fd.get(), old.st_mode & 07777) == 0) &&
            posix::writeAll(fd.get(), contents.data(), contents.size()) && ::fsync(fd.get()) == 0;
  ok = fd.reset() && ok;
  ok = ok && ::rename(temp.c_str(), path.c_str()) == 0;
  if (!ok) {
    ::unlink(temp.c_str());
    return false;
  }
  posix::syncFolder(parentPath(path));
  return true;
}

std::optional<FileTime> PosixFileSystem::creationDate(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return std::nullopt;
  return static_cast<FileTime>(st.st_mtim.tv_sec) * kNanosPerSecond + st.st_mtim.tv_nsec;
}

bool PosixFileSystem::setCreationDate(const std::string& path, FileTime date) {
  // Floor division, so dates before 1970 keep a nanosecond part in [0, 1e9).
  FileTime seconds = date / kNanosPerSecond;
  FileTime nanos = date % kNanosPerSecond;
  if (nanos < 0) {
    nanos += kNanosPerSecond;
    seconds -= 1;
  }
  struct timespec times[2];
  times[0].tv_sec = 0;
  times[0].tv_nsec = UTIME_OMIT;
  times[1].tv_sec = static_cast<time_t>(seconds);
  times[1].tv_nsec = static_cast<long>(nanos);
  return ::utimensat(AT_FDCWD, path.c_str(), times, 0) == 0;
}

bool PosixFileSystem::copyFile(const std::string& from, const std::string& to) {
  OwnedFd in(::open(from.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  struct stat st;
  if (!in.valid() || ::fstat(in.get(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  struct stat existing;
  if (::lstat(to.c_str(), &existing) == 0) return false;
  std::string temp;
  OwnedFd out(posix::createHiddenTemp(to, 0600, temp));
  if (!out.valid()) return false;
  struct timespec times[2];
  posix::timesOf(st, times);
  bool ok = posix::copyData(in.get(), out.get()) && ::fchmod(out.get(), st.st_mode & 07777) == 0 &&
            ::futimens(out.get(), times) == 0 && ::fsync(out.get()) == 0;
  ok = out.reset() && ok;
  ok = ok && posix::renameNoReplace(temp, to);
  if (!ok) {
    ::unlink(temp.c_str());
    return false;
  }
  posix::syncFolder(parentPath(to));
  return true;
}

}  // namespace lensbrook
