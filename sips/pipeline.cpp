#include "sips/pipeline.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "sips/formats.h"
#include "sips/image_ops.h"
#include "sips/metadata.h"
#include "sips/output_file.h"
#include "sips/qtif.h"
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

std::optional<std::string> readFile(const std::string& path, std::size_t limit) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  if (limit == 0) {
    std::ostringstream all;
    all << in.rdbuf();
    return in.bad() ? std::nullopt : std::optional<std::string>(all.str());
  }
  std::string head(limit, '\0');
  in.read(head.data(), std::streamsize(limit));
  head.resize(std::size_t(in.gcount()));
  return head;
}

bool writeFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), std::streamsize(bytes.size()));
  out.close();
  return bool(out);
}

// The image file as read: its own format, and for QuickTime images the JPEG inside.
struct Source {
  std::string path;
  std::optional<Format> format;
  std::optional<std::string> jpeg;
  std::time_t mtime = 0;
};

using SourceResult = std::variant<Source, std::string>;

SourceResult openSource(const std::string& path) {
  struct stat info;
  if (::stat(path.c_str(), &info) != 0) return std::string("cannot read: ") + std::strerror(errno);
  if (!S_ISREG(info.st_mode)) return std::string("not a file");
  auto head = readFile(path, kSniffBytes);
  if (!head) return std::string("cannot read: ") + std::strerror(errno);
  Source source{path, sniffFormat(*head), std::nullopt, info.st_mtime};
  if (!readsWithoutModules(*head)) {
    bool magick = source.format == Format::Bmp || source.format == Format::Psd || source.format == Format::Pict;
    loadModules(magick ? kMagickModule : "");
  }
  if (source.format == Format::Qtif) {
    auto whole = readFile(path, 0);
    auto image = whole ? readQtif(*whole) : std::nullopt;
    if (!image) return std::string("not a QuickTime image with JPEG data");
    source.jpeg = std::move(image->jpeg);
  }
  return source;
}

ImageResult loadHeader(const Source& source) {
  VipsImage* image = source.jpeg ? vips_image_new_from_buffer(source.jpeg->data(), source.jpeg->size(), "", nullptr)
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

// Decodes the source upright. A resample that comes first is done while decoding, so a large
// JPEG is shrunk on load instead of being decoded at full size.
ImageResult loadUpright(const Plan& plan, const Source& source, std::size_t* applied) {
  ImageResult header = loadHeader(source);
  if (auto* error = std::get_if<std::string>(&header)) return *error;
  VipsImage* head = std::get<ImagePtr>(header).get();
  VipsImage* image = nullptr;
  int failed = 0;
  // Shrink-on-load takes every page of a multi-page file into account and fails on long TIFF stacks;
  // those are decoded at page 0 and resampled after.
  if (!plan.operations.empty() && isResample(plan.operations.front()) && vips_image_get_n_pages(head) <= 1) {
    Size size = resampledSize(plan.operations.front(), uprightSize(head));
    if (auto error = refuseHuge(uprightSize(head), size)) return *error;
    *applied = 1;
    failed = source.jpeg ? vips_thumbnail_buffer(const_cast<char*>(source.jpeg->data()), source.jpeg->size(), &image,
                                                 size.width, "height", size.height, "size", VIPS_SIZE_FORCE,
                                                 "fail_on", VIPS_FAIL_ON_WARNING, nullptr)
                         : vips_thumbnail(source.path.c_str(), &image, size.width, "height", size.height, "size",
                                          VIPS_SIZE_FORCE, "fail_on", VIPS_FAIL_ON_WARNING, nullptr);
    if (failed) return takeVipsError();
    return ImagePtr(image);
  }
  VipsAccess access = needsRandomAccess(plan, head) ? VIPS_ACCESS_RANDOM : VIPS_ACCESS_SEQUENTIAL;
  image = source.jpeg ? vips_image_new_from_buffer(source.jpeg->data(), source.jpeg->size(), "", "access", access,
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

std::optional<std::string> writePixels(const Plan& plan, const Source& source, Format format,
                                       const std::string& temp) {
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
  if (auto error = saveImage(image.get(), encoderFormat(format), plan.quality, temp)) return error;
  if (!holdsMetadata(format)) return std::nullopt;
  Metadata metadata = source.jpeg ? readMetadataFromMemory(*source.jpeg) : readMetadata(source.path);
  markRedrawn(metadata, image->Xsize, image->Ysize);
  applyEdits(metadata, plan.metadata);
  return writeMetadata(temp, encoderFormat(format), metadata);
}

std::optional<std::string> copyWithEdits(const Plan& plan, const Source& source, Format format,
                                         const std::string& temp) {
  if (source.jpeg) {
    if (!writeFile(temp, *source.jpeg)) return std::string("cannot write the result");
  } else {
    std::error_code ec;
    fs::copy_file(source.path, temp, fs::copy_options::overwrite_existing, ec);
    if (ec) return "cannot copy the file: " + ec.message();
  }
  if (plan.metadata.empty()) return std::nullopt;
  return editMetadata(temp, encoderFormat(format), plan.metadata);
}

std::optional<std::string> wrapQtif(const std::string& temp) {
  auto jpeg = readFile(temp, 0);
  VipsImage* header = jpeg ? vips_image_new_from_buffer(jpeg->data(), jpeg->size(), "", nullptr) : nullptr;
  if (!header) return "cannot read back the JPEG data (" + takeVipsError() + ")";
  ImagePtr owned(header);
  if (header->Xsize > 0xffff || header->Ysize > 0xffff) return std::string("too large for a QuickTime image");
  if (!writeFile(temp, writeQtif(*jpeg, header->Xsize, header->Ysize))) return std::string("cannot write the result");
  return std::nullopt;
}

void printProbe(const Plan& plan, const std::string& input, Size size) {
  std::printf("%s\n", input.c_str());
  for (Query query : plan.queries) {
    if (query == Query::PixelHeight) std::printf("  pixelHeight: %d\n", size.height);
    if (query == Query::PixelWidth) std::printf("  pixelWidth: %d\n", size.width);
  }
  std::fflush(stdout);
}

std::string targetFor(const Plan& plan, const std::string& input) {
  if (!plan.out) return input;
  std::error_code ec;
  if (fs::is_directory(*plan.out, ec)) return (fs::path(*plan.out) / fs::path(input).filename()).string();
  return *plan.out;
}

}  // namespace

void setModuleFolder(std::string folder) { g_moduleFolder = std::move(folder); }

std::optional<std::string> processFile(const Plan& plan, const std::string& input) {
  SourceResult opened = openSource(input);
  if (auto* error = std::get_if<std::string>(&opened)) return *error;
  const Source& source = std::get<Source>(opened);
  if (!plan.queries.empty()) {
    ImageResult header = loadHeader(source);
    if (auto* error = std::get_if<std::string>(&header)) return *error;
    printProbe(plan, input, uprightSize(std::get<ImagePtr>(header).get()));
  }
  if (!plan.writes()) return std::nullopt;

  std::optional<Format> format = plan.format ? plan.format : source.format;
  if (!format) return std::string("cannot write this kind of image; choose an output format");
  if (*format == Format::Bmp || *format == Format::Psd || *format == Format::Pict) loadModules(kMagickModule);
  if (auto refused = refuseEdits(*format, plan.metadata)) return refused;
  std::string target = targetFor(plan, input);
  std::string error;
  auto output = OutputFile::create(target, &error);
  if (!output) return error;
  const std::string& temp = output->tempPath();
  auto failed = plan.needsPixels() ? writePixels(plan, source, *format, temp) : copyWithEdits(plan, source, *format, temp);
  if (failed) return failed;
  std::optional<std::vector<Thumbnail>> thumbnails;
  if (plan.addIcon) {
    thumbnails = renderThumbnails(temp, target, source.mtime, &error);
    if (!thumbnails) return error;
  }
  if (*format == Format::Qtif) {
    if (auto wrapped = wrapQtif(temp)) return wrapped;
  }
  if (auto committed = output->commit()) return committed;
  if (thumbnails) return storeThumbnails(*thumbnails);
  return std::nullopt;
}

}  // namespace lensbrook::sips
