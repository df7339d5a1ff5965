// What each output format can carry, and which format a file is, from its first bytes.
#pragma once

#include <optional>
#include <string_view>

#include "sips/arguments.h"

namespace lensbrook::sips {

// Bytes of a file's start that `sniffFormat` looks at.
inline constexpr std::size_t kSniffBytes = 528;

// The format of a file starting with `head`, when it is one the tool writes; nullopt otherwise.
std::optional<Format> sniffFormat(std::string_view head);

// Whether libvips reads files starting with `head` without its loadable modules.
bool readsWithoutModules(std::string_view head);

bool keepsAlpha(Format format);
bool keepsIccProfile(Format format);
bool keepsCmyk(Format format);
bool isLossy(Format format);

}  // namespace lensbrook::sips
