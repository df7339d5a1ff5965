// The size probe without libvips: the upright size of an image read from the first bytes of its
// file. It answers only where those bytes settle the answer libvips would give; everything else
// (formats it does not know, anything damaged or unusual) is left to the libvips path.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace lensbrook::sips {

// How many bytes of a file's start `readUprightSize` is given: room for a JPEG's EXIF block,
// ICC profile and comments before its frame header.
inline constexpr std::size_t kHeaderBytes = 256 * 1024;

struct PixelSize {
  int width = 0;
  int height = 0;
  bool operator==(const PixelSize&) const = default;
};

// The size of the image, as seen once turned upright by its EXIF orientation, of a JPEG or PNG
// file starting with `head` (at most kHeaderBytes of it); nullopt when it cannot tell for certain.
std::optional<PixelSize> readUprightSize(std::string_view head);

}  // namespace lensbrook::sips
