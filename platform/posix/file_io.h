// Low-level pieces shared by the POSIX file providers.
#pragma once

#include <sys/stat.h>

#include <string>
#include <vector>

namespace lensbrook::posix {

// Owns one file descriptor; closes it when it goes.
class OwnedFd {
 public:
  explicit OwnedFd(int fd = -1) : fd_(fd) {}
  OwnedFd(const OwnedFd&) = delete;
  OwnedFd& operator=(const OwnedFd&) = delete;
  ~OwnedFd() { reset(); }
  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
  // Closes now; false when close reports an error (a write that did not reach the disk).
  bool reset();

 private:
  int fd_;
};

// Writes all of `size` bytes, retrying short writes and interruptions.
bool writeAll(int fd, const char* data, std::size_t size);
// Copies everything readable from `from` to `to`.
bool copyData(int from, int to);
// Creates a new, hidden file beside `target` (".name.<unique>.tmp") with `mode` (umask
// applies); returns its descriptor and sets `tempPath`, or -1.
int createHiddenTemp(const std::string& target, mode_t mode, std::string& tempPath);
// A hidden name beside `target` that no file has yet, for a temporary folder; empty on failure.
std::string makeHiddenTempFolder(const std::string& target);
// Moves `from` to `to` unless `to` exists (links count, even dangling ones).
bool renameNoReplace(const std::string& from, const std::string& to);
// The access and modification times of `st`, for futimens/utimensat.
void timesOf(const struct stat& st, struct timespec times[2]);
// Flushes a folder's entries to disk after a rename into it; failures are ignored.
void syncFolder(const std::string& folder);

struct FolderEntry {
  std::string name;
  bool isFolder = false;  // a real folder, not a link to one
};
// The entries of the open folder `fd` (consumed) in the order the file system gives them,
// without "." and ".."; false when it cannot be read.
bool readFolder(int fd, std::vector<FolderEntry>& entries);

}  // namespace lensbrook::posix
