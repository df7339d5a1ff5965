// PosixFileSystem::copyTree: the whole tree is built under a hidden name beside the target and
// renamed into place at the end, so a failed copy leaves nothing and a finished one appears whole.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "platform/posix/file_io.h"
#include "shared/path_text.h"
#include "platform/posix/posix_file_system.h"

namespace lensbrook {
namespace {

using posix::OwnedFd;

struct TreeCopy {
  struct stat temp;  // the folder being filled: a source that contains it must not enter it

  bool copyEntry(const std::string& from, const std::string& to) {
    struct stat st;
    if (::lstat(from.c_str(), &st) != 0) return false;
    if (S_ISLNK(st.st_mode)) return copyLink(from, to, st);
    if (S_ISREG(st.st_mode)) return copyRegular(from, to, st);
    if (!S_ISDIR(st.st_mode)) return false;  // devices, sockets, pipes have no copy
    return ::mkdir(to.c_str(), 0700) == 0 && copyFolder(from, to, st);
  }

  // Fills the existing folder `to`; permissions and times last, as adding entries changes both.
  bool copyFolder(const std::string& from, const std::string& to, const struct stat& st) {
    if (st.st_dev == temp.st_dev && st.st_ino == temp.st_ino) return false;
    std::vector<posix::FolderEntry> entries;
    if (!posix::readFolder(::open(from.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC), entries)) {
      return false;
    }
    for (const posix::FolderEntry& entry : entries) {
      if (!copyEntry(absolutePath(from, entry.name), absolutePath(to, entry.name))) return false;
    }
    struct timespec times[2];
    posix::timesOf(st, times);
    return ::chmod(to.c_str(), st.st_mode & 07777) == 0 &&
           ::utimensat(AT_FDCWD, to.c_str(), times, 0) == 0;
  }

  static bool copyLink(const std::string& from, const std::string& to, const struct stat& st) {
    std::string target(static_cast<std::size_t>(st.st_size) + 1, '\0');
    for (;;) {
      ssize_t length = ::readlink(from.c_str(), target.data(), target.size());
      if (length < 0) return false;
      if (static_cast<std::size_t>(length) < target.size()) {
        target.resize(static_cast<std::size_t>(length));
        break;
      }
      target.resize(target.size() * 2);  // the link changed since it was measured
    }
    struct timespec times[2];
    posix::timesOf(st, times);
    return ::symlink(target.c_str(), to.c_str()) == 0 &&
           ::utimensat(AT_FDCWD, to.c_str(), times, AT_SYMLINK_NOFOLLOW) == 0;
  }

  static bool copyRegular(const std::string& from, const std::string& to, const struct stat& st) {
    OwnedFd in(::open(from.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    OwnedFd out(::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    struct timespec times[2];
    posix::timesOf(st, times);
    return in.valid() && out.valid() && posix::copyData(in.get(), out.get()) &&
           ::fchmod(out.get(), st.st_mode & 07777) == 0 && ::futimens(out.get(), times) == 0 &&
           out.reset();
  }
};

// Removes a tree this process built; folders are opened up first, since copied read-only
// folders would otherwise keep their entries.
void removeTree(const std::string& path) {
  struct stat st;
  if (::lstat(path.c_str(), &st) != 0) return;
  if (S_ISDIR(st.st_mode)) {
    ::chmod(path.c_str(), 0700);
    std::vector<posix::FolderEntry> entries;
    posix::readFolder(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC),
                      entries);
    for (const posix::FolderEntry& entry : entries) removeTree(absolutePath(path, entry.name));
    ::rmdir(path.c_str());
  } else {
    ::unlink(path.c_str());
  }
}

}  // namespace

bool PosixFileSystem::copyTree(const std::string& from, const std::string& to) {
  struct stat source;
  struct stat existing;
  if (::stat(from.c_str(), &source) != 0 || ::lstat(to.c_str(), &existing) == 0) return false;
  if (!S_ISDIR(source.st_mode)) return copyFile(from, to);
  std::string temp = posix::makeHiddenTempFolder(to);
  TreeCopy copy{};
  if (temp.empty()) return false;
  bool ok = ::stat(temp.c_str(), &copy.temp) == 0 && copy.copyFolder(from, temp, source) &&
            posix::renameNoReplace(temp, to);
  if (!ok) {
    removeTree(temp);
    return false;
  }
  posix::syncFolder(parentPath(to));
  return true;
}

}  // namespace lensbrook
