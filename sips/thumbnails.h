// The freedesktop thumbnails (normal 128 and large 256 pixels) that file managers show for a file.
#pragma once

#include <ctime>
#include <optional>
#include <string>
#include <vector>

namespace lensbrook::sips {

struct Thumbnail {
  std::string path;  // where it belongs in the thumbnail cache
  std::string png;   // the encoded thumbnail
};

// Renders the thumbnails of the image file at `imagePath` for the file that will live at
// `shownPath` with modification time `mtime`. nullopt with `*error` set on failure.
std::optional<std::vector<Thumbnail>> renderThumbnails(const std::string& imagePath,
                                                       const std::string& shownPath,
                                                       std::time_t mtime, std::string* error);

// Stores each thumbnail atomically, making the cache folders as needed. Error sentence or nullopt.
std::optional<std::string> storeThumbnails(const std::vector<Thumbnail>& thumbnails);

}  // namespace lensbrook::sips
