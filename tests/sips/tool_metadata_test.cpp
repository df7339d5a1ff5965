// The built tool's metadata: read back by exiftool and libvips, and the lossless metadata path.
#include <sys/stat.h>

#include <fstream>

#include "sips/qtif.h"
#include "tool_fixture.h"

namespace lensbrook::sips::testing {
namespace {

using Args = std::vector<std::string>;

const std::string kArtist = "Zoë Lind (studio)";
const std::string kCopyright = "© 2026 Lind";
const std::string kDescription = "format";  // a word that is also an option name stays text

// Set on conversion to each format that can hold the texts, and read back by an outside reader.
TEST_F(SipsTool, TextsSurviveEveryFormatThatHoldsThem) {
  std::string source = makeImage("source.jpg");
  for (const char* format : {"jpeg", "tiff", "png", "jp2", "psd"}) {
    std::string out = path(std::string("out.") + format);
    ToolRun run = sips({"-s", "artist", kArtist, "-s", "copyright", kCopyright, "-s", "description", kDescription,
                    "-s", "format", format, source, "--out", out});
    ASSERT_EQ(run.status, 0) << format << run.err;
    EXPECT_EQ(exifTag(out, "EXIF:Artist"), kArtist) << format;
    EXPECT_EQ(exifTag(out, "EXIF:Copyright"), kCopyright) << format;
    EXPECT_EQ(exifTag(out, "EXIF:ImageDescription"), kDescription) << format;
    EXPECT_EQ(exiftool({"-validate", "-warning", "-a", out}).out.find("Warning"), std::string::npos) << format;
  }
  // libvips, and so every later run of the tool, reads them too where it reads EXIF at all.
  for (const char* name : {"out.jpeg", "out.png"}) {
    VipsImage* image = vips_image_new_from_file(path(name).c_str(), nullptr);
    ASSERT_NE(image, nullptr) << name;
    const char* artist = nullptr;
    EXPECT_EQ(vips_image_get_string(image, "exif-ifd0-Artist", &artist), 0) << name;
    EXPECT_EQ(std::string(artist ? artist : "").substr(0, kArtist.size()), kArtist) << name;
    g_object_unref(image);
  }
}

TEST_F(SipsTool, RemovingATextTakesItOutOfExifAndXmp) {
  std::string photo = makeImage("photo.jpg");
  ASSERT_EQ(exiftool({"-q", "-overwrite_original", "-Artist=A", "-Copyright=C", "-XMP-dc:Creator=A",
                      "-XMP-dc:Rights=C", photo}).status, 0);
  ToolRun run = sips({"-d", "artist", "-s", "copyright", "New", photo});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(exifTag(photo, "EXIF:Artist"), "");
  EXPECT_EQ(exifTag(photo, "XMP:Creator"), "");
  EXPECT_EQ(exifTag(photo, "EXIF:Copyright"), "New");
  EXPECT_EQ(exifTag(photo, "XMP:Rights"), "New");
}

// A file that cannot hold texts already has none removed: only setting one is an error.
TEST_F(SipsTool, RemovingATextFromAFormatWithoutTextsSucceeds) {
  std::string photo = makeImage("photo.jpg");
  std::string bmp = path("still.bmp");
  ASSERT_EQ(sips({"-s", "format", "bmp", photo, "--out", bmp}).status, 0);
  std::string bmpBytes = readBytes(bmp);
  for (const char* format : {"bmp", "pict"}) {
    std::string out = path(std::string("out.") + format);
    ToolRun run = sips({"-d", "artist", "-d", "description", "-s", "format", format, photo, "--out", out});
    ASSERT_EQ(run.status, 0) << format << run.err;
    EXPECT_EQ(sips({"-g", "pixelWidth", out}).out, out + "\n  pixelWidth: 60\n") << format;
    ToolRun set = sips({"-d", "artist", "-s", "copyright", "C", "-s", "format", format, photo, "--out", out});
    EXPECT_EQ(set.status, 1) << format;
    EXPECT_NE(set.err.find(std::string(format) + " files cannot hold copyright"), std::string::npos) << set.err;
  }
  // Without a conversion the file is left as it was.
  ToolRun inPlace = sips({"-d", "copyright", bmp});
  ASSERT_EQ(inPlace.status, 0) << inPlace.err;
  EXPECT_EQ(readBytes(bmp), bmpBytes);
  EXPECT_EQ(sips({"-s", "artist", "A", bmp}).status, 1);
}

// The compressed image data of a file: JPEG scan data after the first SOS marker, PNG IDAT
// chunks; empty for other formats.
std::string compressedData(const std::string& bytes) {
  if (bytes.starts_with("\xff\xd8")) {
    std::size_t sos = bytes.find("\xff\xda");
    return sos == std::string::npos ? "" : bytes.substr(sos);
  }
  std::string data;
  for (std::size_t at = 8; at + 12 <= bytes.size();) {
    std::size_t length = (std::size_t(std::uint8_t(bytes[at])) << 24) | (std::size_t(std::uint8_t(bytes[at + 1])) << 16) |
                         (std::size_t(std::uint8_t(bytes[at + 2])) << 8) | std::uint8_t(bytes[at + 3]);
    if (bytes.compare(at + 4, 4, "IDAT") == 0) data += bytes.substr(at + 8, length);
    at += 12 + length;
  }
  return data;
}

// A recipe of texts only rewrites the metadata: pixels and compressed data stay bit-identical.
TEST_F(SipsTool, MetadataOnlyRecipesLeaveImageDataBitIdentical) {
  for (const char* name : {"photo.jpg", "photo.png", "photo.tif"}) {
    std::string photo = makeImage(name);
    ASSERT_EQ(sips({"-s", "artist", "Before", "-s", "copyright", "C", photo}).status, 0) << name;
    std::string before = readBytes(photo);
    std::string pixelsBefore = decoded(photo);
    ToolRun run = sips({"-s", "artist", kArtist, "-d", "copyright", "-s", "description", kDescription, photo});
    ASSERT_EQ(run.status, 0) << name << run.err;
    EXPECT_EQ(decoded(photo), pixelsBefore) << name;
    EXPECT_FALSE(pixelsBefore.empty()) << name;
    EXPECT_EQ(compressedData(readBytes(photo)), compressedData(before)) << name;
    EXPECT_TRUE(readBytes(photo) != before) << name;
    EXPECT_EQ(exifTag(photo, "EXIF:Artist"), kArtist) << name;
    EXPECT_EQ(exifTag(photo, "EXIF:Copyright"), "") << name;
    EXPECT_EQ(exifTag(photo, "EXIF:ImageDescription"), kDescription) << name;
  }
}

// A QuickTime image keeps its own size and wrapping; only the JPEG's texts inside change.
TEST_F(SipsTool, MetadataOnlyRecipesOnQuickTimeImagesEditTheJpegInside) {
  std::string photo = path("photo.qtif");
  ASSERT_EQ(sips({"-s", "format", "qtif", makeNoise("noise.jpg"), "--out", photo}).status, 0);
  auto before = readQtif(readBytes(photo));
  ASSERT_TRUE(before);
  ToolRun run = sips({"-s", "artist", kArtist, photo});
  ASSERT_EQ(run.status, 0) << run.err;
  auto after = readQtif(readBytes(photo));
  ASSERT_TRUE(after);
  EXPECT_EQ(std::pair(after->width, after->height), std::pair(before->width, before->height));
  EXPECT_EQ(compressedData(after->jpeg), compressedData(before->jpeg));
  std::string inside = path("inside.jpg");
  std::ofstream(inside, std::ios::binary) << after->jpeg;
  EXPECT_EQ(exifTag(inside, "EXIF:Artist"), kArtist);
}

// Texts-only runs are the common droplet recipe and must stay cheap: they never load libvips.
TEST_F(SipsTool, MetadataOnlyRecipesRunWithoutLibvips) {
  std::string photo = makeImage("photo.jpg");
  ToolRun run = runProgram(SIPS_TOOL_PATH, {"-s", "artist", kArtist, photo}, {"LD_DEBUG=files"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.err.find("libexiv2"), std::string::npos) << "the loader's trace is missing";
  EXPECT_EQ(run.err.find("libvips"), std::string::npos);
  EXPECT_EQ(exifTag(photo, "EXIF:Artist"), kArtist);
  // A run with pixel work does load it: the trace sees it when it happens.
  ToolRun pixels = runProgram(SIPS_TOOL_PATH, {"-s", "artist", kArtist, "-f", "horizontal", photo}, {"LD_DEBUG=files"});
  ASSERT_EQ(pixels.status, 0) << pixels.err;
  EXPECT_NE(pixels.err.find("libvips"), std::string::npos);
}

TEST_F(SipsTool, IconOptionWritesBothThumbnailsForTheDateTheDropletKeeps) {
  std::string photo = makeImage("photo.jpg");
  std::filesystem::last_write_time(photo, std::filesystem::last_write_time(photo) - std::chrono::hours(48));
  struct stat info;
  ASSERT_EQ(::stat(photo.c_str(), &info), 0);
  std::string cache = path("cache");
  ToolRun run = runProgram(SIPS_TOOL_PATH, {"-i", "-f", "horizontal", photo}, {"XDG_CACHE_HOME=" + cache});
  ASSERT_EQ(run.status, 0) << run.err;
  gchar* uri = g_filename_to_uri(photo.c_str(), nullptr, nullptr);
  gchar* md5 = g_compute_checksum_for_string(G_CHECKSUM_MD5, uri, -1);
  for (auto [folder, side] : {std::pair{"normal", 128}, std::pair{"large", 256}}) {
    std::string thumb = cache + "/thumbnails/" + folder + "/" + md5 + ".png";
    VipsImage* image = vips_image_new_from_file(thumb.c_str(), nullptr);
    ASSERT_NE(image, nullptr) << thumb;
    EXPECT_LE(std::max(image->Xsize, image->Ysize), side);
    const char* text = nullptr;
    ASSERT_EQ(vips_image_get_string(image, "png-comment-0-Thumb::URI", &text), 0);
    EXPECT_STREQ(text, uri);
    ASSERT_EQ(vips_image_get_string(image, "png-comment-1-Thumb::MTime", &text), 0);
    EXPECT_EQ(std::string(text), std::to_string(info.st_mtime));
    g_object_unref(image);
    EXPECT_EQ(std::filesystem::status(thumb).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  }
  g_free(md5);
  g_free(uri);
}

}  // namespace
}  // namespace lensbrook::sips::testing
