// QuickTime image files: an image description atom ('idsc', codec 'jpeg') and an image data
// atom ('idat') holding a complete JPEG stream. Pure byte work, no libvips.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lensbrook::sips {

// Whether `head` (the first bytes of a file, at least 8) starts with a QuickTime image atom.
bool looksLikeQtif(std::string_view head);

struct QtifImage {
  int width = 0;
  int height = 0;
  std::string jpeg;
};

// The JPEG stream and size of a QuickTime image file, or nullopt when `file` is not one, is
// truncated, or uses a codec other than JPEG.
std::optional<QtifImage> readQtif(std::string_view file);

// A QuickTime image file around `jpeg`, which is `width` x `height` pixels.
std::string writeQtif(std::string_view jpeg, int width, int height);

}  // namespace lensbrook::sips
