// The CRC-32 that PNG chunks carry.
#pragma once

#include <cstdint>
#include <string_view>

namespace lensbrook::sips {

std::uint32_t crc32(std::string_view bytes);

}  // namespace lensbrook::sips
