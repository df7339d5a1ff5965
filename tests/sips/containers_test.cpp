// The byte-level containers the tool writes itself: QuickTime image atoms and PNG chunks.
#include <gtest/gtest.h>

#include "sips/formats.h"
#include "sips/png_chunks.h"
#include "sips/qtif.h"

namespace lensbrook::sips {
namespace {

const std::string kJpeg = std::string("\xff\xd8\xff\xe0", 4) + std::string(300, 'j') + "\xff\xd9";

TEST(SipsQtif, RoundTripKeepsTheJpegAndTheSize) {
  std::string file = writeQtif(kJpeg, 640, 480);
  EXPECT_EQ(file.substr(4, 4), "idsc");
  EXPECT_EQ(file.substr(12, 4), "jpeg");
  EXPECT_EQ(sniffFormat(file), Format::Qtif);
  auto image = readQtif(file);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->width, 640);
  EXPECT_EQ(image->height, 480);
  EXPECT_EQ(image->jpeg, kJpeg);
}

TEST(SipsQtif, MalformedFilesAreRefused) {
  std::string good = writeQtif(kJpeg, 64, 48);
  std::string otherCodec = good;
  otherCodec.replace(12, 4, "rle ");
  std::string hugeAtom = good;
  hugeAtom[0] = '\x7f';
  std::string zeroWidth = good;
  zeroWidth[8 + 32] = zeroWidth[8 + 33] = '\0';
  const std::pair<std::string, const char*> cases[] = {
      {good.substr(0, good.size() - 1), "truncated data atom"},
      {good.substr(0, 94), "no data atom"},
      {good.substr(94), "no description atom"},
      {otherCodec, "codec other than JPEG"},
      {hugeAtom, "atom larger than the file"},
      {zeroWidth, "zero width"},
      {"", "empty"},
  };
  for (const auto& [file, why] : cases) EXPECT_FALSE(readQtif(file)) << why;
}

std::string chunk(const std::string& type, const std::string& data) {
  // Tests only need well-formed framing; the CRC is not checked by the reader.
  std::string out;
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(char((data.size() >> shift) & 0xff));
  return out + type + data + "CRC!";
}

TEST(SipsPngChunks, MetadataChunksAreReplacedAndImageDataKept) {
  std::string signature("\x89PNG\r\n\x1a\n", 8);
  std::string idat = chunk("IDAT", "pixels");
  std::string png = signature + chunk("IHDR", std::string(13, 'h')) + chunk("eXIf", "old exif") +
                    chunk("zTXt", std::string("Raw profile type exif\0\0zz", 25)) +
                    chunk("tEXt", std::string("Title\0keep me", 13)) + idat + chunk("eXIf", "late exif") +
                    chunk("IEND", "");
  auto out = replacePngMetadata(png, "MM\0*new", "<x:xmpmeta/>");
  ASSERT_TRUE(out);
  EXPECT_EQ(out->find("old exif"), std::string::npos);
  EXPECT_EQ(out->find("late exif"), std::string::npos);
  EXPECT_EQ(out->find("Raw profile"), std::string::npos);
  EXPECT_NE(out->find("keep me"), std::string::npos);
  std::size_t exif = out->find("eXIfMM");
  std::size_t xmp = out->find("iTXtXML:com.adobe.xmp");
  std::size_t data = out->find(idat);
  ASSERT_NE(exif, std::string::npos);
  ASSERT_NE(xmp, std::string::npos);
  ASSERT_NE(data, std::string::npos);
  EXPECT_LT(exif, data);
  EXPECT_LT(xmp, data);
  EXPECT_EQ(out->substr(out->size() - 12, 8), std::string("\0\0\0\0IEND", 8));

  auto stripped = replacePngMetadata(png, "", "");
  ASSERT_TRUE(stripped);
  EXPECT_EQ(stripped->find("eXIf"), std::string::npos);
  EXPECT_EQ(stripped->find("iTXt"), std::string::npos);
}

TEST(SipsPngChunks, MalformedPngIsRefused) {
  std::string signature("\x89PNG\r\n\x1a\n", 8);
  std::string body = chunk("IHDR", std::string(13, 'h')) + chunk("IDAT", "x") + chunk("IEND", "");
  EXPECT_FALSE(replacePngMetadata("GIF89a" + body, "e", ""));
  EXPECT_FALSE(replacePngMetadata(signature + body.substr(0, body.size() - 3), "e", ""));
  EXPECT_FALSE(replacePngMetadata(signature + chunk("IHDR", "h") + chunk("IEND", ""), "e", ""));
  std::string lying = signature + body;
  lying[8] = '\x7f';
  EXPECT_FALSE(replacePngMetadata(lying, "e", ""));
}

TEST(SipsFormats, FirstBytesNameTheFormat) {
  std::string pict(528, '\0');
  pict.replace(522, 4, std::string("\x00\x11\x02\xff", 4));
  const std::pair<std::string, std::optional<Format>> cases[] = {
      {"\xff\xd8\xff\xe1....", Format::Jpeg},
      {"\x89PNG\r\n\x1a\n....", Format::Png},
      {std::string("II*\0....", 8), Format::Tiff},
      {std::string("MM\0*....", 8), Format::Tiff},
      {"GIF89a..", Format::Gif},
      {std::string("\0\0\0\x0cjP  \r\n\x87\n", 12), Format::Jp2},
      {"BM......", Format::Bmp},
      {"8BPS....", Format::Psd},
      {pict, Format::Pict},
      {"RIFF....WEBPVP8 ", std::nullopt},
      {"hello, world", std::nullopt},
      {"", std::nullopt},
  };
  for (const auto& [head, format] : cases) EXPECT_EQ(sniffFormat(head), format) << head.substr(0, 4);
}

}  // namespace
}  // namespace lensbrook::sips
