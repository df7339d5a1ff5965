#include "shared/path_text.h"

namespace lensbrook {

std::string withoutTrailingSlashes(const std::string& path) {
  std::string::size_type end = path.find_last_not_of('/');
  if (end == std::string::npos) return path.empty() ? path : "/";
  return path.substr(0, end + 1);
}

std::string lastPathComponent(const std::string& path) {
  std::string trimmed = withoutTrailingSlashes(path);
  if (trimmed == "/") return trimmed;
  std::string::size_type slash = trimmed.rfind('/');
  return slash == std::string::npos ? trimmed : trimmed.substr(slash + 1);
}

std::string parentPath(const std::string& path) {
  std::string trimmed = withoutTrailingSlashes(path);
  if (trimmed == "/") return trimmed;
  std::string::size_type slash = trimmed.rfind('/');
  if (slash == std::string::npos) return ".";
  std::string::size_type end = trimmed.find_last_not_of('/', slash);
  return end == std::string::npos ? "/" : trimmed.substr(0, end + 1);
}

std::string absolutePath(const std::string& folder, const std::string& path) {
  if (!path.empty() && path.front() == '/') return path;
  if (folder.empty() || folder.back() == '/') return folder + path;
  return folder + "/" + path;
}

}  // namespace lensbrook
