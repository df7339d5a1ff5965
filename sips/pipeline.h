// One plan applied to one file: probe, metadata-only or pixel path, thumbnails, atomic write.
#pragma once

#include <optional>
#include <string>

#include "sips/arguments.h"

namespace lensbrook::sips {

// Where libvips keeps its loadable modules; they are loaded only for files that need them.
void setModuleFolder(std::string folder);

// Runs `plan` on `input`, printing probe lines to standard output. Returns nullopt when every
// operation was applied and the result written, else one sentence saying what failed; the
// target is then as it was and no temporary file is left.
std::optional<std::string> processFile(const Plan& plan, const std::string& input);

}  // namespace lensbrook::sips
