// An image file as the tool reads it, and the runs that change only its texts. No libvips here:
// a texts-only run is all byte and metadata work, so the tool can do it without loading libvips.
#pragma once

#include <ctime>
#include <optional>
#include <string>
#include <variant>

#include "sips/arguments.h"
#include "sips/qtif.h"

namespace lensbrook::sips {

struct SourceFile {
  std::string path;
  std::optional<Format> format;  // nullopt for formats the tool does not write
  bool needsModules = false;     // libvips reads it only through a loadable module
  std::optional<QtifImage> qtif;  // for a QuickTime image, its JPEG and size
  std::time_t mtime = 0;
};

// The file at `path` when it is a readable regular file, else one sentence saying why not.
std::variant<SourceFile, std::string> openSourceFile(const std::string& path);

// Where the result for `input` goes: `input` itself, or inside or at --out.
std::string targetFor(const Plan& plan, const std::string& input);

// Writes `source`, of a format the tool writes, to `temp` with the plan's text edits and nothing
// else changed. A QuickTime image
// is written as its bare JPEG, to be wrapped by `wrapQtif` once nothing more reads it.
std::optional<std::string> copyWithEdits(const Plan& plan, const SourceFile& source, const std::string& temp);

// Wraps the JPEG at `temp`, `width` x `height` pixels, into a QuickTime image in place.
std::optional<std::string> wrapQtif(const std::string& temp, int width, int height);

// Runs a plan that only sets or removes texts (Plan::changesOnlyTexts) on `input`, as
// processFile would. Error sentence, or nullopt once the result is in place.
std::optional<std::string> processTextsOnly(const Plan& plan, const std::string& input);

// The same on a file already opened.
std::optional<std::string> writeTextsOnly(const Plan& plan, const SourceFile& source);

}  // namespace lensbrook::sips
