// The file operations that the cores need. Paths are byte strings, passed through unchanged.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace lensbrook {

// A file date in nanoseconds since the Unix epoch.
using FileTime = std::int64_t;

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // True when `path` names something; links are followed, so a dangling link does not exist.
  virtual bool exists(const std::string& path) = 0;
  // True when `path` is a directory, or a link to one; false when missing.
  virtual bool isDirectory(const std::string& path) = 0;
  // True when the directory `path` is a package, a folder the user sees as one file (a name
  // ending in ".app").
  virtual bool isPackage(const std::string& path) = 0;
  // Every path below the directory `dir`, relative to it, depth first: a folder's entry comes
  // before its contents, entries in the order the file system lists them, hidden names included.
  // Links below `dir` are listed but not followed. A folder that cannot be listed contributes
  // nothing below its own entry; an unlistable `dir` gives an empty list.
  virtual std::vector<std::string> listTree(const std::string& dir) = 0;
  // The name the user sees for `path`: its last component.
  virtual std::string displayName(const std::string& path) = 0;

  // The whole content of a file, or nullopt when it cannot be read.
  virtual std::optional<std::string> readFile(const std::string& path) = 0;
  // Replaces `path` with `contents` in one step (temporary file in the same folder, flush,
  // rename). Does not create folders. Returns false, leaving `path` as it was, on any failure.
  virtual bool writeFileAtomically(const std::string& path, const std::string& contents) = 0;

  // The date the user sees as the file's creation date (links followed), or nullopt when it
  // cannot be read. On Linux this is the modification time.
  virtual std::optional<FileTime> creationDate(const std::string& path) = 0;
  // Sets that date (links followed); false on failure, e.g. when `path` does not exist.
  virtual bool setCreationDate(const std::string& path, FileTime date) = 0;

  // Copies the regular file `from` to the new path `to`, with its permissions and date. Fails,
  // changing nothing, when `to` exists; never leaves a partial `to` behind.
  virtual bool copyFile(const std::string& from, const std::string& to) = 0;
  // Copies the tree `from` to the new path `to`: links stay links, permissions and modification
  // times are kept. Fails, changing nothing, when `to` exists.
  virtual bool copyTree(const std::string& from, const std::string& to) = 0;
};

}  // namespace lensbrook
