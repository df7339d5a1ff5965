// A result written beside its target under a hidden temporary name, then renamed over it in one
// step, so the target is either as it was or complete, never half written.
#pragma once

#include <optional>
#include <string>

namespace lensbrook::sips {

class OutputFile {
 public:
  // Prepares a temporary file for `target`. When `target` is a symbolic link, the file it
  // points to is the one replaced and the link stays a link. nullopt with `*error` set when the
  // folder cannot take a new file.
  static std::optional<OutputFile> create(const std::string& target, std::string* error);

  OutputFile(OutputFile&& other) noexcept;
  OutputFile& operator=(OutputFile&&) = delete;
  OutputFile(const OutputFile&) = delete;
  // Removes the temporary file unless it was committed.
  ~OutputFile();

  // Where the result is to be written before `commit`.
  const std::string& tempPath() const { return temp_; }
  // The file that `commit` replaces (the target with its links followed).
  const std::string& finalPath() const { return final_; }

  // Flushes the temporary file to disk, gives it `mode`, or else the permissions of the file it
  // replaces (the usual ones for a new file), and renames it over the target. Error sentence on
  // failure, in which case the target is untouched and the temporary file removed.
  std::optional<std::string> commit(std::optional<unsigned> mode = std::nullopt);

 private:
  OutputFile(std::string temp, std::string final) : temp_(std::move(temp)), final_(std::move(final)) {}

  std::string temp_;
  std::string final_;
  bool done_ = false;
};

// The path of the temporary file being written, for a signal handler to remove; empty when none.
const char* pendingTempPath();

}  // namespace lensbrook::sips
