// A fresh folder under the system's temporary folder, removed with everything in it.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace lensbrook::testing {

class TempFolder {
 public:
  TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  ~TempFolder();

  const std::string& path() const { return path_; }
  std::string operator/(const std::string& relative) const { return path_ + "/" + relative; }

 private:
  std::string path_;
};

// Writes `contents` to `path`, replacing it; fails the test on error.
void writeText(const std::string& path, const std::string& contents);
// The names directly inside `folder`, sorted.
std::vector<std::string> namesIn(const std::string& folder);

}  // namespace lensbrook::testing
