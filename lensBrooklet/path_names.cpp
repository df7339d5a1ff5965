#include "lensBrooklet/path_names.h"

#include "shared/path_text.h"

namespace lensbrook {

std::string pathExtension(const std::string& path) {
  const std::string name = lastPathComponent(path);
  const auto dot = name.rfind('.');
  return dot == std::string::npos ? "" : name.substr(dot + 1);
}

std::string deletingPathExtension(const std::string& path) {
  const std::string trimmed = withoutTrailingSlashes(path);
  const auto slash = trimmed.rfind('/');
  const auto dot = trimmed.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return trimmed;
  return trimmed.substr(0, dot);
}

std::string asciiLowercase(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

}  // namespace lensbrook
