// Path arithmetic on byte strings, without touching the file system.
#pragma once

#include <string>

namespace lensbrook {

// `path` without slashes at its end, except a lone "/": "a/b//" -> "a/b", "//" -> "/".
std::string withoutTrailingSlashes(const std::string& path);

// The last component of `path`, trailing slashes ignored: "a/b/" -> "b", "/" -> "/", "" -> "".
std::string lastPathComponent(const std::string& path);

// The folder holding `path`, trailing slashes ignored: "a/b" -> "a", "/a" -> "/", "a" -> ".".
std::string parentPath(const std::string& path);

// `path` joined to `folder` unless it is absolute; the bytes of `path` are kept as they are.
std::string absolutePath(const std::string& folder, const std::string& path);

}  // namespace lensbrook
