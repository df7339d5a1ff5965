// Reading the image tool's size probe, which is outside input: any bytes, any length.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace lensbrook {

// Leading white space skipped, an optional sign, then decimal digits up to the first other
// character; no digits give 0. Values beyond 32 bits are clamped.
std::int32_t integerValue(std::string_view text);

// The value after the first `label` ("pixelHeight: ") up to the next line feed or the end of the
// output; nullopt when the label is missing. Bytes outside the value line are never looked at.
std::optional<std::int32_t> probeValue(std::string_view output, std::string_view label);

}  // namespace lensbrook
