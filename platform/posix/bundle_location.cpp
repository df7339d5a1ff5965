#include "platform/posix/bundle_location.h"

#include <limits.h>
#include <unistd.h>

#include <vector>

#include "shared/path_text.h"
#include "shared/property_list.h"

namespace lensbrook {

BundleLocation bundleOfExecutable(const std::string& executablePath) {
  std::string executableFolder = parentPath(executablePath);  // Contents/MacOS
  std::string contents = parentPath(executableFolder);
  return BundleLocation{parentPath(contents), absolutePath(contents, "Resources"),
                        absolutePath(contents, "Info.plist"),
                        absolutePath(executableFolder, "sips")};
}

std::optional<std::string> runningExecutablePath() {
  std::vector<char> buffer(PATH_MAX);
  for (;;) {
    ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (length < 0) return std::nullopt;
    if (static_cast<std::size_t>(length) < buffer.size()) {
      return std::string(buffer.data(), static_cast<std::size_t>(length));
    }
    buffer.resize(buffer.size() * 2);
  }
}

std::optional<std::string> readInfoString(FileSystem& files, const std::string& infoPlistPath,
                                          const std::string& key) {
  std::optional<std::string> bytes = files.readFile(infoPlistPath);
  if (!bytes) return std::nullopt;
  std::optional<PropertyList> info = parsePropertyList(*bytes);
  const PropertyList* value = info ? info->find(key) : nullptr;
  if (value == nullptr || !value->isString()) return std::nullopt;
  return value->text;
}

}  // namespace lensbrook
