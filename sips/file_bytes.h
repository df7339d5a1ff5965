// Whole files and file starts as bytes, for the tool's byte work on image files.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace lensbrook::sips {

// The first `limit` bytes of the file at `path`, fewer when it is shorter; nullopt when it
// cannot be read.
std::optional<std::string> readHead(const std::string& path, std::size_t limit);

// Replaces the contents of the file at `path` with `start` followed by `rest`. Says whether all
// were written.
bool writeWhole(const std::string& path, std::string_view start, std::string_view rest = {});

// A whole file mapped copy-on-write. A texts-only run spends most of its time moving the file's
// bytes, and a mapping costs a twentieth of reading them into fresh memory. Nothing written to
// the mapping reaches the file. A file truncated while mapped raises SIGBUS on access, which the
// tool handles like a kill.
class MappedFile {
 public:
  // nullopt, with errno set, when the file cannot be opened or mapped.
  static std::optional<MappedFile> open(const std::string& path);

  MappedFile(MappedFile&& other) noexcept;
  MappedFile& operator=(MappedFile&&) = delete;
  ~MappedFile();

  std::string_view bytes() const { return {static_cast<const char*>(data_), size_}; }
  // The same bytes, writable, for code that edits its buffer in place (exiv2 does for TIFF).
  std::span<char> scratch() const { return {static_cast<char*>(data_), size_}; }

 private:
  MappedFile(void* data, std::size_t size) : data_(data), size_(size) {}

  void* data_;
  std::size_t size_;
};

}  // namespace lensbrook::sips
