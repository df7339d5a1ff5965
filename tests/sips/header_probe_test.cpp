// The size probe answers from the file's first bytes without libvips; its answers must be the
// ones libvips gives (upright size, or an error where libvips cannot open the file).
#include <functional>

#include "sips/formats.h"
#include "sips/header_reader.h"
#include "sips/qtif.h"
#include "tool_fixture.h"

namespace lensbrook::sips::testing {
namespace {

void writeBytes(const std::string& file, const std::string& bytes) {
  std::FILE* out = std::fopen(file.c_str(), "wb");
  ASSERT_NE(out, nullptr);
  std::fwrite(bytes.data(), 1, bytes.size(), out);
  std::fclose(out);
}

// The bytes libvips decodes for `file`: the JPEG inside a QuickTime image, else the file.
std::string decodedBytes(const std::string& file) {
  std::string bytes = readBytes(file);
  if (sniffFormat(bytes) != Format::Qtif) return bytes;
  auto image = readQtif(bytes);
  return image ? image->jpeg : "";
}

// The upright size libvips reports, or nullopt when it cannot open the bytes.
std::optional<PixelSize> libvipsSize(const std::string& bytes) {
  VipsImage* image = vips_image_new_from_buffer(bytes.data(), bytes.size(), "", nullptr);
  if (!image) {
    vips_error_clear();
    return std::nullopt;
  }
  PixelSize size{image->Xsize, image->Ysize};
  if (vips_image_get_orientation_swap(image)) size = {image->Ysize, image->Xsize};
  g_object_unref(image);
  return size;
}

// Sets the value of the EXIF orientation entry written by libvips, in either byte order.
std::string withOrientationValue(std::string bytes, int value) {
  for (std::string_view entry : {std::string_view("\x12\x01\x03\x00\x01\x00\x00\x00", 8),
                                 std::string_view("\x01\x12\x00\x03\x00\x00\x00\x01", 8)}) {
    std::size_t at = bytes.find(entry);
    if (at == std::string::npos) continue;
    bool little = entry[0] == '\x12';
    bytes[at + 8 + (little ? 0 : 1)] = char(value);
    return bytes;
  }
  ADD_FAILURE() << "no orientation entry";
  return bytes;
}

std::string pngWithHeader(std::uint32_t width, std::uint32_t height) {
  std::string ihdr = "IHDR";
  for (std::uint32_t v : {width, height}) {
    for (int shift : {24, 16, 8, 0}) ihdr.push_back(char((v >> shift) & 0xff));
  }
  ihdr += std::string("\x08\x02\x00\x00\x00", 5);
  std::uint32_t crc = 0xffffffffu;
  for (char c : ihdr) {
    crc ^= std::uint8_t(c);
    for (int k = 0; k < 8; ++k) crc = (crc & 1) ? 0xedb88320u ^ (crc >> 1) : crc >> 1;
  }
  crc ^= 0xffffffffu;
  std::string png("\x89PNG\r\n\x1a\n\x00\x00\x00\x0d", 12);
  png += ihdr;
  for (int shift : {24, 16, 8, 0}) png.push_back(char((crc >> shift) & 0xff));
  return png + std::string("\x00\x00\x00\x00IDAT\x35\xaf\x06\x1e", 12);
}

TEST_F(SipsTool, TheSizeProbeAnswersAsLibvipsDoes) {
  std::string jpeg = readBytes(makeImage("plain.jpg"));
  std::size_t scan = jpeg.find("\xff\xda");
  ASSERT_NE(scan, std::string::npos);
  std::string turned = readBytes(makeImage("turned.jpg", 6));
  std::string png = readBytes(makeImage("plain.png"));

  struct Case {
    const char* name;
    std::function<std::string()> make;  // returns the file's path
    bool fast;                          // whether the header reader answers without libvips
  };
  auto image = [&](const char* name, int orientation = 1) {
    return [this, name, orientation] { return makeImage(name, orientation); };
  };
  auto bytes = [&](const char* name, std::string content) {
    return [this, name, content] {
      writeBytes(path(name), content);
      return path(name);
    };
  };
  auto qtif = [this] {
    std::string out = path("image.qtif");
    EXPECT_EQ(sips({"-s", "format", "qtif", makeImage("for-qtif.jpg", 8), "--out", out}).status, 0);
    return out;
  };
  std::string badCrc = png;
  badCrc[29] ^= 0x5a;
  const Case cases[] = {
      {"jpeg", image("o1.jpg"), true},
      {"jpeg mirrored", image("o2.jpg", 2), true},
      {"jpeg upside down", image("o3.jpg", 3), true},
      {"jpeg flipped", image("o4.jpg", 4), true},
      {"jpeg transposed", image("o5.jpg", 5), true},
      {"jpeg turned right", image("o6.jpg", 6), true},
      {"jpeg transversed", image("o7.jpg", 7), true},
      {"jpeg turned left", image("o8.jpg", 8), true},
      {"progressive jpeg", [this] { return makeImage("progressive.jpg[interlace]").substr(0, path("progressive.jpg").size()); }, true},
      {"jpeg cut inside its scan", bytes("cut-scan.jpg", jpeg.substr(0, scan + 40)), true},
      {"qtif", qtif, true},
      {"png", image("o1.png"), true},
      {"png claiming 100000 x 100000", bytes("claims.png", pngWithHeader(100000, 100000)), true},
      {"png claiming 2000000 wide", bytes("wide.png", pngWithHeader(2000000, 10)), false},
      {"jpeg orientation 0", bytes("o0.jpg", withOrientationValue(turned, 0)), false},
      {"jpeg orientation 9", bytes("o9.jpg", withOrientationValue(turned, 9)), false},
      {"jpeg cut before its scan", bytes("cut.jpg", jpeg.substr(0, scan)), false},
      {"png with a damaged header", bytes("crc.png", badCrc), false},
      {"png without image data", bytes("short.png", png.substr(0, 33)), false},
      {"empty file named .jpg", bytes("empty.jpg", ""), false},
      {"text named .jpg", bytes("text.jpg", "not an image at all\n"), false},
      {"gif", image("o1.gif"), false},
      {"tiff turned right", image("o6.tif", 6), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string file = c.make();
    std::string decoded = decodedBytes(file);
    std::optional<PixelSize> expected = libvipsSize(decoded);
    std::optional<PixelSize> fast = readUprightSize(std::string_view(decoded).substr(0, kHeaderBytes));
    EXPECT_EQ(fast.has_value(), c.fast);
    if (fast) {
      EXPECT_EQ(fast, expected);
    }

    ToolRun probe = sips({"-g", "pixelHeight", "-g", "pixelWidth", file});
    if (expected) {
      EXPECT_EQ(probe.status, 0) << probe.err;
      EXPECT_EQ(probe.out, file + "\n  pixelHeight: " + std::to_string(expected->height) +
                               "\n  pixelWidth: " + std::to_string(expected->width) + "\n");
    } else {
      EXPECT_EQ(probe.status, 1);
      EXPECT_EQ(probe.out, "");
      EXPECT_EQ(probe.err.rfind("Error: " + file + ": ", 0), 0u) << probe.err;
    }
  }
}

// Several files in one run keep their order, whether or not each is one the reader answers.
TEST_F(SipsTool, TheSizeProbeOfSeveralFilesKeepsTheirOrder) {
  std::string jpeg = makeImage("a.jpg", 6), tiff = makeImage("b.tif");
  std::string expected = jpeg + "\n  pixelWidth: 40\n" + tiff + "\n  pixelWidth: 60\n";
  EXPECT_EQ(sips({"-g", "pixelWidth", jpeg, tiff}).out, expected);
  EXPECT_EQ(sips({"-g", "pixelWidth", jpeg, jpeg}).out, jpeg + "\n  pixelWidth: 40\n" + jpeg + "\n  pixelWidth: 40\n");
}

}  // namespace
}  // namespace lensbrook::sips::testing
