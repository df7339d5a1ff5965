// Path texts as the droplet names its items; pure string work, no file system. The last
// component of a path is shared/path_text.h's lastPathComponent.
#pragma once

#include <string>

namespace lensbrook {

// The last component's text after its last ".", or "" when it has none: "scan.TIFF" -> "TIFF".
std::string pathExtension(const std::string& path);
// The path without the last component's last "." and what follows: "a.b/scan.tiff" -> "a.b/scan".
std::string deletingPathExtension(const std::string& path);
// A-Z lowered, every other byte kept.
std::string asciiLowercase(std::string text);

}  // namespace lensbrook
