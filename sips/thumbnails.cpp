#include "sips/thumbnails.h"

#include <vips/vips.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

#include "sips/output_file.h"

namespace lensbrook::sips {
namespace {

namespace fs = std::filesystem;

struct Size {
  const char* folder;
  int pixels;
};
constexpr Size kSizes[] = {{"normal", 128}, {"large", 256}};

std::optional<fs::path> cacheFolder() {
  const char* xdg = std::getenv("XDG_CACHE_HOME");
  if (xdg && xdg[0] == '/') return fs::path(xdg) / "thumbnails";
  const char* home = std::getenv("HOME");
  if (home && home[0] == '/') return fs::path(home) / ".cache" / "thumbnails";
  return std::nullopt;
}

std::string vipsError() {
  std::string text = vips_error_buffer();
  vips_error_clear();
  while (!text.empty() && text.back() == '\n') text.pop_back();
  for (char& c : text) {
    if (c == '\n') c = ' ';
  }
  return text;
}

struct Unref {
  void operator()(void* object) const { g_object_unref(object); }
};
using ImagePtr = std::unique_ptr<VipsImage, Unref>;

}  // namespace

std::optional<std::vector<Thumbnail>> renderThumbnails(const std::string& imagePath,
                                                       const std::string& shownPath,
                                                       std::time_t mtime, std::string* error) {
  auto folder = cacheFolder();
  if (!folder) {
    *error = "no thumbnail folder (HOME is not set)";
    return std::nullopt;
  }
  std::error_code ec;
  fs::path absolute = fs::absolute(shownPath, ec);
  GError* gerror = nullptr;
  std::unique_ptr<char, decltype(&g_free)> uri(g_filename_to_uri(absolute.c_str(), nullptr, &gerror), g_free);
  if (!uri) {
    *error = gerror ? gerror->message : "cannot name the file as a URI";
    if (gerror) g_error_free(gerror);
    return std::nullopt;
  }
  std::unique_ptr<char, decltype(&g_free)> md5(
      g_compute_checksum_for_string(G_CHECKSUM_MD5, uri.get(), -1), g_free);
  std::vector<Thumbnail> thumbnails;
  for (const Size& size : kSizes) {
    VipsImage* raw = nullptr;
    if (vips_thumbnail(imagePath.c_str(), &raw, size.pixels, "height", size.pixels, "size",
                       VIPS_SIZE_DOWN, nullptr) != 0) {
      *error = "thumbnail: " + vipsError();
      return std::nullopt;
    }
    ImagePtr thumb(raw);
    VipsImage* srgb = nullptr;
    if (vips_colourspace(thumb.get(), &srgb, VIPS_INTERPRETATION_sRGB, nullptr) != 0) {
      *error = "thumbnail: " + vipsError();
      return std::nullopt;
    }
    ImagePtr out(srgb);
    vips_image_set_string(out.get(), "png-comment-0-Thumb::URI", uri.get());
    vips_image_set_string(out.get(), "png-comment-1-Thumb::MTime", std::to_string(mtime).c_str());
    vips_image_set_string(out.get(), "png-comment-2-Software", "lensBrook sips");
    void* buffer = nullptr;
    size_t length = 0;
    if (vips_pngsave_buffer(out.get(), &buffer, &length, nullptr) != 0) {
      *error = "thumbnail: " + vipsError();
      return std::nullopt;
    }
    Thumbnail thumbnail;
    thumbnail.path = (*folder / size.folder / (std::string(md5.get()) + ".png")).string();
    thumbnail.png.assign(static_cast<const char*>(buffer), length);
    g_free(buffer);
    thumbnails.push_back(std::move(thumbnail));
  }
  return thumbnails;
}

std::optional<std::string> storeThumbnails(const std::vector<Thumbnail>& thumbnails) {
  for (const Thumbnail& thumbnail : thumbnails) {
    fs::path folder = fs::path(thumbnail.path).parent_path();
    std::error_code ec;
    fs::create_directories(folder, ec);
    fs::permissions(folder.parent_path(), fs::perms::owner_all, ec);
    fs::permissions(folder, fs::perms::owner_all, ec);
    std::string error;
    auto file = OutputFile::create(thumbnail.path, &error);
    if (!file) return "thumbnail: " + error;
    {
      std::ofstream out(file->tempPath(), std::ios::binary | std::ios::trunc);
      out.write(thumbnail.png.data(), std::streamsize(thumbnail.png.size()));
      if (!out.flush()) return "thumbnail: cannot write " + file->tempPath();
    }
    // Thumbnails tell what the user's files show, so only the user may read them.
    if (auto failed = file->commit(0600)) return "thumbnail: " + *failed;
  }
  return std::nullopt;
}

}  // namespace lensbrook::sips
