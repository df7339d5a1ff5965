// The byte-level containers the tool writes itself: QuickTime image atoms, PNG chunks and the
// XMP extension of a GIF.
#include <gtest/gtest.h>

#include "sips/formats.h"
#include "sips/gif_xmp.h"
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

// A 2 x 1 GIF with a block of every kind: global and local colour tables, a graphic control and a
// comment extension, an XMP extension holding `packet`, and image data.
std::string xmpExtension(const std::string& packet) {
  std::string trailer("\x01", 1);
  for (int value = 0xff; value >= 0; --value) trailer.push_back(char(value));
  return std::string("\x21\xff\x0bXMP DataXMP") + packet + trailer + std::string(1, '\0');
}
const std::string kScreen = std::string("GIF89a\x02\x00\x01\x00\x80\x00\x00", 13) + "abcdef";
const std::string kBlocks = std::string("\x21\xf9\x04\x00\x00\x00\x00\x00", 8) + std::string("\x21\xfe\x03why\x00", 7);
const std::string kImage = std::string("\x2c\x00\x00\x00\x00\x02\x00\x01\x00\x80", 10) + "ghijkl" +
                           std::string("\x02\x02xy\x00", 5);
const std::string kGif = kScreen + kBlocks + xmpExtension("<old/>") + kImage + "\x3b";

TEST(SipsGifXmp, PacketIsReplacedAfterTheScreenAndEveryOtherBlockKept) {
  // Every byte value but NUL, so that sub-block readers land on each length a packet can hold.
  std::string packet;
  for (int value = 1; value < 256; ++value) packet.push_back(char(value));
  packet += packet.substr(7) + "<x:xmpmeta>Zoë</x:xmpmeta>";
  EXPECT_EQ(readGifXmp(kGif), "<old/>");
  auto out = replaceGifXmp(kGif, packet);
  ASSERT_TRUE(out);
  EXPECT_EQ(*out, kScreen + xmpExtension(packet) + kBlocks + kImage + "\x3b");
  EXPECT_EQ(readGifXmp(*out), packet);
  EXPECT_EQ(replaceGifXmp(kGif, ""), kScreen + kBlocks + kImage + "\x3b");
  EXPECT_EQ(readGifXmp(kScreen + kImage + "\x3b"), "");

  // Extensions came with GIF89a; removing nothing from a GIF87a leaves it as it was.
  std::string old87 = "GIF87a" + kScreen.substr(6) + kImage + "\x3b";
  EXPECT_EQ(replaceGifXmp(old87, "<x/>"), kScreen + xmpExtension("<x/>") + kImage + "\x3b");
  EXPECT_EQ(replaceGifXmp(old87, ""), old87);
  // Every XMP extension goes, and a packet split into ordinary sub-blocks is read joined.
  std::string split = std::string("\x21\xff\x0bXMP DataXMP\x03<a/\x01>\x00", 21);
  EXPECT_EQ(readGifXmp(kScreen + split + kImage + split + "\x3b"), "<a/>");
  EXPECT_EQ(replaceGifXmp(kScreen + split + kImage + split + "\x3b", ""), kScreen + kImage + "\x3b");
}

TEST(SipsGifXmp, MalformedGifIsRefused) {
  // Cut inside each block kind, down to the missing trailer.
  for (std::size_t size = 0; size < kGif.size(); ++size) {
    EXPECT_FALSE(readGifXmp(kGif.substr(0, size))) << size;
    EXPECT_FALSE(replaceGifXmp(kGif.substr(0, size), "<x/>")) << size;
  }
  std::string unknownBlock = kGif;
  unknownBlock.insert(kScreen.size(), "\x2d");
  std::string hugeTable = kGif;
  hugeTable[10] = '\x87';
  const std::pair<std::string, const char*> cases[] = {
      {"GIF90a" + kGif.substr(6), "unknown version"},
      {"\x89PNG\r\n\x1a\n" + kGif.substr(8), "not a GIF"},
      {unknownBlock, "unknown block introducer"},
      {hugeTable, "colour table beyond the end"},
  };
  for (const auto& [gif, why] : cases) {
    EXPECT_FALSE(readGifXmp(gif)) << why;
    EXPECT_FALSE(replaceGifXmp(gif, "<x/>")) << why;
  }
  // A NUL would end the extension early for readers that skip it as sub-blocks.
  EXPECT_FALSE(replaceGifXmp(kGif, std::string("<x>\0</x>", 8)));
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
