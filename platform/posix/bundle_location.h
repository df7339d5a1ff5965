// Where a running program finds its own bundle: Name.app/Contents/MacOS/<executable>.
#pragma once

#include <optional>
#include <string>

#include "platform/file_system.h"

namespace lensbrook {

struct BundleLocation {
  std::string bundlePath;      // Name.app
  std::string resourcesPath;   // Name.app/Contents/Resources
  std::string infoPlistPath;   // Name.app/Contents/Info.plist
  std::string sipsPath;        // the image tool beside the executable
};

// The bundle around `executablePath`, by position only; nothing is checked on disk.
BundleLocation bundleOfExecutable(const std::string& executablePath);

// The running program's own file, links resolved; nullopt when /proc cannot tell.
std::optional<std::string> runningExecutablePath();

// The text under `key` in the property list at `infoPlistPath`; nullopt when the file cannot
// be read or parsed, or holds no text there.
std::optional<std::string> readInfoString(FileSystem& files, const std::string& infoPlistPath,
                                          const std::string& key);

}  // namespace lensbrook
