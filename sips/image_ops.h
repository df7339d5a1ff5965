// The pixel operations and the encoders, on libvips images.
#pragma once

#include <vips/vips.h>

#include <memory>
#include <optional>
#include <string>
#include <variant>

#include "sips/arguments.h"

namespace lensbrook::sips {

struct Unref {
  void operator()(VipsImage* image) const { g_object_unref(image); }
};
using ImagePtr = std::unique_ptr<VipsImage, Unref>;

// An image, or one sentence saying why there is none.
using ImageResult = std::variant<ImagePtr, std::string>;

// libvips' pending error text on one line, cleared.
std::string takeVipsError();

struct Size {
  int width = 0;
  int height = 0;
  bool operator==(const Size&) const = default;
};

// The size a resample operation gives an image of `from` pixels; other operations give `from`.
Size resampledSize(const Operation& op, Size from);

// Refuses a result of `to` pixels made from an image of `from`: no side beyond what the encoders
// take, and no growth past half a gigapixel, so a typo in a size cannot fill the disk or run for
// hours. Error sentence or nullopt.
std::optional<std::string> refuseHuge(Size from, Size to);

// Whether `op` changes the image size by resampling.
bool isResample(const Operation& op);

// Applies `op`; `keepAlpha` says the output can show transparency, which then fills new canvas.
ImageResult applyOperation(ImagePtr image, const Operation& op, bool keepAlpha);

// Resizes to exactly `size`.
ImageResult resizeTo(ImagePtr image, Size size);

// Makes the pixels fit for `format`: CMYK and profiled images become sRGB where the format keeps
// no profile or no CMYK, transparency is flattened where it keeps none, and EXIF/XMP are taken
// off (they are written afterwards, edited).
ImageResult prepareForFormat(ImagePtr image, Format format);

// Encodes `image` as `format` at `quality` into the file `path`. Error sentence or nullopt.
std::optional<std::string> saveImage(VipsImage* image, Format format, const std::optional<Quality>& quality,
                                     const std::string& path);

}  // namespace lensbrook::sips
