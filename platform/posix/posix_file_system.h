// The file operations of the cores on a POSIX file system.
#pragma once

#include "platform/file_system.h"

namespace lensbrook {

// Stateless; safe for concurrent use. Results go first to hidden temporary names beside their
// target and appear under the target's name in one rename, so no reader sees a partial file.
class PosixFileSystem : public FileSystem {
 public:
  bool exists(const std::string& path) override;
  bool isDirectory(const std::string& path) override;
  bool isPackage(const std::string& path) override;
  std::vector<std::string> listTree(const std::string& dir) override;
  std::string displayName(const std::string& path) override;

  std::optional<std::string> readFile(const std::string& path) override;
  bool writeFileAtomically(const std::string& path, const std::string& contents) override;

  std::optional<FileTime> creationDate(const std::string& path) override;
  bool setCreationDate(const std::string& path, FileTime date) override;

  bool copyFile(const std::string& from, const std::string& to) override;
  // A link given as `from` itself is followed: copying the link would make the new tree an alias
  // of the old one, and every later write into it would change the original.
  bool copyTree(const std::string& from, const std::string& to) override;
};

}  // namespace lensbrook
