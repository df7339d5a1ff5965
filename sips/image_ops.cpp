#include "sips/image_ops.h"

#include <cmath>
#include <string_view>
#include <vector>

#include "sips/formats.h"

namespace lensbrook::sips {
namespace {

// One libvips call producing a new image from `in`; `call` returns 0 on success.
template <typename Call>
ImageResult step(Call call) {
  VipsImage* out = nullptr;
  if (call(&out) != 0) return takeVipsError();
  return ImagePtr(out);
}

struct DoubleArray {
  explicit DoubleArray(const std::vector<double>& values)
      : array(vips_array_double_new(values.data(), int(values.size()))) {}
  ~DoubleArray() { vips_area_unref(VIPS_AREA(array)); }
  DoubleArray(const DoubleArray&) = delete;
  DoubleArray& operator=(const DoubleArray&) = delete;
  VipsArrayDouble* array;
};

// The value of full opacity, and of white, in the image's own scale.
double maxAlpha(VipsInterpretation type) {
  if (type == VIPS_INTERPRETATION_RGB16 || type == VIPS_INTERPRETATION_GREY16) return 65535;
  if (type == VIPS_INTERPRETATION_scRGB) return 1;
  return 255;
}

// The colour new canvas gets: transparent where the image has alpha to show it, else white
// (no ink for CMYK), fully opaque.
std::vector<double> fillColour(VipsImage* image, bool transparent) {
  double max = maxAlpha(image->Type);
  bool alpha = vips_image_hasalpha(image);
  int colourBands = image->Bands - (alpha ? 1 : 0);
  double white = image->Type == VIPS_INTERPRETATION_CMYK ? 0 : max;
  std::vector<double> fill(std::size_t(colourBands), transparent ? 0 : white);
  if (alpha) fill.push_back(transparent ? 0 : max);
  return fill;
}

// Adds an opaque alpha band when the output can show transparency and the image has none.
ImageResult withAlphaIf(ImagePtr image, bool wanted) {
  if (!wanted || vips_image_hasalpha(image.get())) return image;
  return step([&](VipsImage** out) { return vips_addalpha(image.get(), out, nullptr); });
}

ImageResult rotate(ImagePtr image, double angle, bool keepAlpha) {
  double turn = std::fmod(angle, 360.0);
  if (turn < 0) turn += 360.0;
  if (turn == 0) return image;
  if (std::fmod(turn, 90.0) == 0) {
    VipsAngle quarter = turn == 90 ? VIPS_ANGLE_D90 : turn == 180 ? VIPS_ANGLE_D180 : VIPS_ANGLE_D270;
    return step([&](VipsImage** out) { return vips_rot(image.get(), out, quarter, nullptr); });
  }
  ImageResult prepared = withAlphaIf(std::move(image), keepAlpha);
  if (auto* error = std::get_if<std::string>(&prepared)) return *error;
  ImagePtr in = std::move(std::get<ImagePtr>(prepared));
  DoubleArray fill(fillColour(in.get(), keepAlpha));
  return step([&](VipsImage** out) {
    return vips_rotate(in.get(), out, turn, "background", fill.array, nullptr);
  });
}

ImageResult pad(ImagePtr image, Size canvas, bool keepAlpha) {
  ImageResult prepared = withAlphaIf(std::move(image), keepAlpha);
  if (auto* error = std::get_if<std::string>(&prepared)) return *error;
  ImagePtr in = std::move(std::get<ImagePtr>(prepared));
  DoubleArray fill(fillColour(in.get(), keepAlpha));
  return step([&](VipsImage** out) {
    return vips_gravity(in.get(), out, VIPS_COMPASS_DIRECTION_CENTRE, canvas.width, canvas.height,
                        "extend", VIPS_EXTEND_BACKGROUND, "background", fill.array, nullptr);
  });
}

ImageResult crop(ImagePtr image, Size wanted) {
  int width = std::min(wanted.width, image->Xsize);
  int height = std::min(wanted.height, image->Ysize);
  if (width == image->Xsize && height == image->Ysize) return image;
  return step([&](VipsImage** out) {
    return vips_extract_area(image.get(), out, (image->Xsize - width) / 2, (image->Ysize - height) / 2,
                             width, height, nullptr);
  });
}

ImageResult removeFields(ImagePtr image, bool (*unwanted)(std::string_view)) {
  ImageResult copied = step([&](VipsImage** out) { return vips_copy(image.get(), out, nullptr); });
  if (auto* error = std::get_if<std::string>(&copied)) return *error;
  ImagePtr copy = std::move(std::get<ImagePtr>(copied));
  gchar** fields = vips_image_get_fields(copy.get());
  for (gchar** field = fields; *field; ++field) {
    if (unwanted(*field)) vips_image_remove(copy.get(), *field);
  }
  g_strfreev(fields);
  return copy;
}

bool isExifOrXmp(std::string_view name) {
  return name.starts_with("exif-") || name == VIPS_META_XMP_NAME || name == VIPS_META_ORIENTATION;
}

bool isIccProfile(std::string_view name) { return name == VIPS_META_ICC_NAME; }

}  // namespace

std::string takeVipsError() {
  std::string text = vips_error_buffer();
  vips_error_clear();
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
  for (char& c : text) {
    if (c == '\n') c = ' ';
  }
  return text.empty() ? "libvips failed" : text;
}

std::optional<std::string> refuseHuge(Size from, Size to) {
  constexpr double kMaxPixels = 512.0 * 1024 * 1024;
  double area = double(to.width) * to.height;
  if (to.width > kMaxSide || to.height > kMaxSide || (area > kMaxPixels && area > double(from.width) * from.height)) {
    return "the result would be too large (" + std::to_string(to.width) + " x " + std::to_string(to.height) +
           " pixels)";
  }
  return std::nullopt;
}

bool isResample(const Operation& op) {
  using Kind = Operation::Kind;
  return op.kind == Kind::Resample || op.kind == Kind::ResampleWidth || op.kind == Kind::ResampleHeight ||
         op.kind == Kind::ResampleMax;
}

Size resampledSize(const Operation& op, Size from) {
  auto scaled = [](int side, double factor) { return std::max(1, int(std::lround(side * factor))); };
  switch (op.kind) {
    case Operation::Kind::Resample: return {op.width, op.height};
    case Operation::Kind::ResampleWidth:
      return {op.width, scaled(from.height, double(op.width) / from.width)};
    case Operation::Kind::ResampleHeight:
      return {scaled(from.width, double(op.height) / from.height), op.height};
    case Operation::Kind::ResampleMax:
      if (from.width >= from.height) return {op.width, scaled(from.height, double(op.width) / from.width)};
      return {scaled(from.width, double(op.height) / from.height), op.height};
    default: return from;
  }
}

ImageResult resizeTo(ImagePtr image, Size size) {
  if (image->Xsize == size.width && image->Ysize == size.height) return image;
  double hscale = double(size.width) / image->Xsize;
  double vscale = double(size.height) / image->Ysize;
  VipsBandFormat format = image->BandFmt;
  bool alpha = vips_image_hasalpha(image.get());
  // Transparent pixels must not bleed their colour into their neighbours.
  if (alpha) {
    ImageResult pre = step([&](VipsImage** out) { return vips_premultiply(image.get(), out, nullptr); });
    if (auto* error = std::get_if<std::string>(&pre)) return *error;
    image = std::move(std::get<ImagePtr>(pre));
  }
  ImageResult resized = step([&](VipsImage** out) {
    return vips_resize(image.get(), out, hscale, "vscale", vscale, "kernel", VIPS_KERNEL_LANCZOS3, nullptr);
  });
  if (auto* error = std::get_if<std::string>(&resized)) return *error;
  ImagePtr result = std::move(std::get<ImagePtr>(resized));
  if (alpha) {
    ImageResult un = step([&](VipsImage** out) { return vips_unpremultiply(result.get(), out, nullptr); });
    if (auto* error = std::get_if<std::string>(&un)) return *error;
    ImageResult cast = step([&](VipsImage** out) {
      return vips_cast(std::get<ImagePtr>(un).get(), out, format, nullptr);
    });
    if (auto* error = std::get_if<std::string>(&cast)) return *error;
    result = std::move(std::get<ImagePtr>(cast));
  }
  if (result->Xsize == size.width && result->Ysize == size.height) return result;
  // Rounding inside the resampler can leave a side one pixel off; the size asked for is exact.
  return step([&](VipsImage** out) {
    return vips_gravity(result.get(), out, VIPS_COMPASS_DIRECTION_CENTRE, size.width, size.height, "extend",
                        VIPS_EXTEND_COPY, nullptr);
  });
}

// The size `op` gives an image of `from` pixels.
Size resultSize(const Operation& op, Size from) {
  using Kind = Operation::Kind;
  switch (op.kind) {
    case Kind::Pad: return {op.width, op.height};
    case Kind::Crop: return {std::min(op.width, from.width), std::min(op.height, from.height)};
    case Kind::Rotate: {
      double radians = op.angle * M_PI / 180.0;
      double c = std::fabs(std::cos(radians)), s = std::fabs(std::sin(radians));
      return {int(std::ceil(from.width * c + from.height * s)), int(std::ceil(from.width * s + from.height * c))};
    }
    default: return resampledSize(op, from);
  }
}

ImageResult applyOperation(ImagePtr image, const Operation& op, bool keepAlpha) {
  using Kind = Operation::Kind;
  Size from{image->Xsize, image->Ysize};
  if (auto error = refuseHuge(from, resultSize(op, from))) return *error;
  switch (op.kind) {
    case Kind::FlipHorizontal:
      return step([&](VipsImage** out) {
        return vips_flip(image.get(), out, VIPS_DIRECTION_HORIZONTAL, nullptr);
      });
    case Kind::FlipVertical:
      return step([&](VipsImage** out) { return vips_flip(image.get(), out, VIPS_DIRECTION_VERTICAL, nullptr); });
    case Kind::Rotate: return rotate(std::move(image), op.angle, keepAlpha);
    case Kind::Pad: return pad(std::move(image), {op.width, op.height}, keepAlpha);
    case Kind::Crop: return crop(std::move(image), {op.width, op.height});
    case Kind::Resample:
    case Kind::ResampleWidth:
    case Kind::ResampleHeight:
    case Kind::ResampleMax: return resizeTo(std::move(image), resampledSize(op, from));
  }
  return image;
}

ImageResult prepareForFormat(ImagePtr image, Format format) {
  bool cmyk = vips_image_guess_interpretation(image.get()) == VIPS_INTERPRETATION_CMYK;
  bool profiled = vips_image_get_typeof(image.get(), VIPS_META_ICC_NAME) != 0;
  if ((cmyk && !keepsCmyk(format)) || (profiled && !keepsIccProfile(format))) {
    ImageResult srgb = step([&](VipsImage** out) {
      return vips_icc_transform(image.get(), out, "srgb", "input_profile", cmyk ? "cmyk" : "srgb", "embedded",
                                TRUE, nullptr);
    });
    if (auto* error = std::get_if<std::string>(&srgb)) return *error;
    ImageResult bare = removeFields(std::move(std::get<ImagePtr>(srgb)), isIccProfile);
    if (auto* error = std::get_if<std::string>(&bare)) return *error;
    image = std::move(std::get<ImagePtr>(bare));
  }
  if (vips_image_hasalpha(image.get()) && !keepsAlpha(format)) {
    DoubleArray white(std::vector<double>(std::size_t(image->Bands - 1),
                                          maxAlpha(image->Type)));
    ImageResult flat = step([&](VipsImage** out) {
      return vips_flatten(image.get(), out, "background", white.array, "max_alpha",
                          maxAlpha(image->Type), nullptr);
    });
    if (auto* error = std::get_if<std::string>(&flat)) return *error;
    image = std::move(std::get<ImagePtr>(flat));
  }
  return removeFields(std::move(image), isExifOrXmp);
}

std::optional<std::string> saveImage(VipsImage* image, Format format, const std::optional<Quality>& quality,
                                     const std::string& path) {
  int q = qualityPercent(quality.value_or(Quality{}));
  const char* file = path.c_str();
  int failed = 0;
  switch (format) {
    case Format::Jpeg:
    case Format::Qtif:
      failed = vips_jpegsave(image, file, "Q", q, "optimize_coding", TRUE, nullptr);
      break;
    case Format::Tiff:
      failed = vips_tiffsave(image, file, "compression", VIPS_FOREIGN_TIFF_COMPRESSION_LZW, "predictor",
                             VIPS_FOREIGN_TIFF_PREDICTOR_HORIZONTAL, nullptr);
      break;
    case Format::Png: failed = vips_pngsave(image, file, "compression", 6, nullptr); break;
    case Format::Gif: failed = vips_gifsave(image, file, nullptr); break;
    case Format::Jp2: failed = vips_jp2ksave(image, file, "Q", q, "lossless", q >= 100, nullptr); break;
    case Format::Bmp: failed = vips_magicksave(image, file, "format", "BMP3", nullptr); break;
    case Format::Psd: failed = vips_magicksave(image, file, "format", "PSD", nullptr); break;
    case Format::Pict: failed = vips_magicksave(image, file, "format", "PICT", nullptr); break;
  }
  if (failed) return takeVipsError();
  return std::nullopt;
}

}  // namespace lensbrook::sips
