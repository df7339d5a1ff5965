// An in-memory file system with folders, files, links and dates; records every call.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "tests/fakes/call_journal.h"

namespace lensbrook::fakes {

class VirtualFileSystem : public FileSystem, public Recorder {
 public:
  // Setup, not recorded. Parent folders are made as needed; children list in creation order.
  void addFile(const std::string& path, const std::string& contents = "", FileTime date = 0);
  void addDirectory(const std::string& path, FileTime date = 0);
  void addLink(const std::string& path, const std::string& target);

  // Inspection, not recorded.
  bool hasFile(const std::string& path) const;
  std::string contents(const std::string& path) const;  // "" when there is no such file
  FileTime dateOf(const std::string& path) const;       // -1 when missing

  // Faults to inject: operations on these exact paths fail as their contracts say.
  std::set<std::string> unlistable;      // listTree gives nothing below it
  std::set<std::string> unreadable;      // readFile and creationDate fail
  std::set<std::string> readOnly;        // writes, setCreationDate and copies onto it fail

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
  bool copyTree(const std::string& from, const std::string& to) override;

 private:
  enum class Kind { File, Directory, Link };
  struct Node {
    Kind kind = Kind::File;
    std::string contents;  // File
    std::string target;    // Link
    FileTime date = 0;
    std::vector<std::string> children;  // Directory: names in creation order
  };

  Node& make(const std::string& path, Kind kind);
  // The node `path` names with every link followed, or nullptr (missing, dangling, loop).
  const Node* resolve(const std::string& path) const;
  Node* resolveMutable(const std::string& path);
  std::string resolvedPath(const std::string& path) const;  // "" when it does not resolve
  void listBelow(const std::string& path, const std::string& relative, std::vector<std::string>& out) const;
  void copyNode(const std::string& from, const std::string& to);

  std::map<std::string, Node> nodes_;
};

}  // namespace lensbrook::fakes
