#include "sips/pipeline.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string_view>

#include "sips/formats.h"
#include "sips/image_ops.h"
#include "sips/metadata.h"
#include "sips/output_file.h"
#include "sips/source_file.h"
#include "sips/thumbnails.h"

namespace lensbrook::sips {
namespace {

namespace fs = std::filesystem;

std::string g_moduleFolder;

// Loads libvips' optional modules (ImageMagick, HEIF, PDF, ...) whose file name contains `name`,
// the first time a file needs them; most runs never pay for any.
void loadModules(const std::string& name = "") {
  static std::vector<std::string> loaded;
  if (g_moduleFolder.empty() || std::find(loaded.begin(), loaded.end(), name) != loaded.end()) return;
  loaded.push_back(name);
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(g_moduleFolder, ec)) {
    if (entry.path().extension() != ".so" || entry.path().filename().string().find(name) == std::string::npos) {
      continue;
    }
    if (GModule* module = g_module_open(entry.path().c_str(), G_MODULE_BIND_LAZY)) {
      g_module_make_resident(module);
    }
  }
}

// The module that reads and writes the formats libvips has no code of its own for.
constexpr const char* kMagickModule = "magick";

// Loads the modules libvips needs for `source` and for writing `format`.
void loadModulesFor(const SourceFile& source, std::optional<Format> format) {
  auto magick = [](std::optional<Format> f) { return f == Format::Bmp || f == Format::Psd || f == Format::Pict; };
  if (source.needsModules) loadModules(magick(source.format) ? kMagickModule : "");
  if (magick(format)) loadModules(kMagickModule);
}

ImageResult loadHeader(const SourceFile& source) {
  VipsImage* image = source.qtif ? vips_image_new_from_buffer(source.qtif->jpeg.data(), source.qtif->jpeg.size(), "", nullptr)
                                 : vips_image_new_from_file(source.path.c_str(), nullptr);
  if (!image) return "not a readable image (" + takeVipsError() + ")";
  return ImagePtr(image);
}

Size uprightSize(VipsImage* header) {
  if (vips_image_get_orientation_swap(header)) return {header->Ysize, header->Xsize};
  return {header->Xsize, header->Ysize};
}

bool needsRandomAccess(const Plan& plan, VipsImage* header) {
  if (vips_image_get_orientation(header) > 1) return true;
  for (const auto& op : plan.operations) {
    if (op.kind == Operation::Kind::Rotate || op.kind == Operation::Kind::FlipVertical) return true;
  }
  return false;
}

// libvips decodes a GIF into a frame buffer as large as its canvas, and a frame placed far outside
// the screen the file declares stretches the canvas: fifty bytes can ask for gigabytes, and an
// allocation that fails ends the process. No real GIF comes near this many pixels.
constexpr double kMaxGifCanvasPixels = 128.0 * 1024 * 1024;

// The loader is asked rather than the file's first bytes: libvips takes files for GIFs that the
// tool's own sniffing does not.
std::optional<std::string> refuseHugeCanvas(VipsImage* header) {
  const char* loader = nullptr;
  bool gif = vips_image_get_typeof(header, "vips-loader") && vips_image_get_string(header, "vips-loader", &loader) == 0 &&
             std::string_view(loader).starts_with("gifload");
  if (!gif || double(header->Xsize) * header->Ysize <= kMaxGifCanvasPixels) return std::nullopt;
  return "the GIF's canvas is too large to decode (" + std::to_string(header->Xsize) + " x " +
         std::to_string(header->Ysize) + " pixels)";
}

// Decodes the source upright. A resample that comes first is done while decoding, so a large
// JPEG is shrunk on load instead of being decoded at full size.
ImageResult loadUpright(const Plan& plan, const SourceFile& source, std::size_t* applied) {
  ImageResult header = loadHeader(source);
  if (auto* error = std::get_if<std::string>(&header)) return *error;
  VipsImage* head = std::get<ImagePtr>(header).get();
  if (auto error = refuseHugeCanvas(head)) return *error;
  VipsImage* image = nullptr;
  int failed = 0;
  // Shrink-on-load takes every page of a multi-page file into account and fails on long TIFF stacks;
  // those are decoded at page 0 and resampled after.
  if (!plan.operations.empty() && isResample(plan.operations.front()) && vips_image_get_n_pages(head) <= 1) {
    Size size = resampledSize(plan.operations.front(), uprightSize(head));
    if (auto error = refuseHuge(uprightSize(head), size)) return *error;
    *applied = 1;
    failed = source.qtif ? vips_thumbnail_buffer(const_cast<char*>(source.qtif->jpeg.data()), source.qtif->jpeg.size(), &image,
                                                 size.width, "height", size.height, "size", VIPS_SIZE_FORCE,
                                                 "fail_on", VIPS_FAIL_ON_WARNING, nullptr)
                         : vips_thumbnail(source.path.c_str(), &image, size.width, "height", size.height, "size",
                                          VIPS_SIZE_FORCE, "fail_on", VIPS_FAIL_ON_WARNING, nullptr);
    if (failed) return takeVipsError();
    return ImagePtr(image);
  }
  VipsAccess access = needsRandomAccess(plan, head) ? VIPS_ACCESS_RANDOM : VIPS_ACCESS_SEQUENTIAL;
  image = source.qtif ? vips_image_new_from_buffer(source.qtif->jpeg.data(), source.qtif->jpeg.size(), "", "access", access,
                                                   "fail_on", VIPS_FAIL_ON_WARNING, nullptr)
                      : vips_image_new_from_file(source.path.c_str(), "access", access, "fail_on",
                                                 VIPS_FAIL_ON_WARNING, nullptr);
  if (!image) return takeVipsError();
  ImagePtr loaded(image);
  VipsImage* upright = nullptr;
  if (vips_autorot(loaded.get(), &upright, nullptr) != 0) return takeVipsError();
  return ImagePtr(upright);
}

// The format whose encoder writes the temporary file: a QuickTime image is a JPEG until wrapped.
Format encoderFormat(Format format) { return format == Format::Qtif ? Format::Jpeg : format; }

// Encodes the result into `temp` and sets `*written` to its size.
std::optional<std::string> writePixels(const Plan& plan, const SourceFile& source, Format format,
                                       const std::string& temp, Size* written) {
  std::size_t applied = 0;
  ImageResult loaded = loadUpright(plan, source, &applied);
  if (auto* error = std::get_if<std::string>(&loaded)) return *error;
  ImagePtr image = std::move(std::get<ImagePtr>(loaded));
  for (std::size_t i = applied; i < plan.operations.size(); ++i) {
    ImageResult next = applyOperation(std::move(image), plan.operations[i], keepsAlpha(format));
    if (auto* error = std::get_if<std::string>(&next)) return *error;
    image = std::move(std::get<ImagePtr>(next));
  }
  ImageResult ready = prepareForFormat(std::move(image), format);
  if (auto* error = std::get_if<std::string>(&ready)) return *error;
  image = std::move(std::get<ImagePtr>(ready));
  *written = {image->Xsize, image->Ysize};
  if (auto error = saveImage(image.get(), encoderFormat(format), plan.quality, temp)) return error;
  if (!holdsMetadata(format)) return std::nullopt;
  Metadata metadata = source.qtif ? readMetadataFromMemory(source.qtif->jpeg) : readMetadata(source.path);
  markRedrawn(metadata, image->Xsize, image->Ysize);
  applyEdits(metadata, plan.metadata);
  return writeMetadata(temp, encoderFormat(format), metadata);
}

void printProbe(const Plan& plan, const std::string& input, Size size) {
  std::printf("%s\n", input.c_str());
  for (Query query : plan.queries) {
    if (query == Query::PixelHeight) std::printf("  pixelHeight: %d\n", size.height);
    if (query == Query::PixelWidth) std::printf("  pixelWidth: %d\n", size.width);
  }
  std::fflush(stdout);
}

}  // namespace

void setModuleFolder(std::string folder) { g_moduleFolder = std::move(folder); }

std::optional<std::string> processFile(const Plan& plan, const std::string& input) {
  auto opened = openSourceFile(input);
  if (auto* error = std::get_if<std::string>(&opened)) return *error;
  const SourceFile& source = std::get<SourceFile>(opened);
  std::optional<Format> format = plan.format ? plan.format : source.format;
  loadModulesFor(source, format);
  if (!plan.queries.empty()) {
    ImageResult header = loadHeader(source);
    if (auto* error = std::get_if<std::string>(&header)) return *error;
    printProbe(plan, input, uprightSize(std::get<ImagePtr>(header).get()));
  }
  if (!plan.writes()) return std::nullopt;
  if (!plan.needsPixels() && !plan.addIcon) return writeTextsOnly(plan, source);

  if (!format) return std::string("cannot write this kind of image; choose an output format");
  if (auto refused = refuseEdits(*format, plan.metadata)) return refused;
  std::string target = targetFor(plan, input);
  std::string error;
  auto output = OutputFile::create(target, &error);
  if (!output) return error;
  const std::string& temp = output->tempPath();
  Size written = source.qtif ? Size{source.qtif->width, source.qtif->height} : Size{};
  auto failed = plan.needsPixels() ? writePixels(plan, source, *format, temp, &written) : copyWithEdits(plan, source, temp);
  if (failed) return failed;
  std::optional<std::vector<Thumbnail>> thumbnails;
  if (plan.addIcon) {
    thumbnails = renderThumbnails(temp, target, source.mtime, &error);
    if (!thumbnails) return error;
  }
  if (*format == Format::Qtif) {
    if (auto wrapped = wrapQtif(temp, written.width, written.height)) return wrapped;
  }
  if (auto committed = output->commit()) return committed;
  if (thumbnails) return storeThumbnails(*thumbnails);
  return std::nullopt;
}

}  // namespace lensbrook::sips
