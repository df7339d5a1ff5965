// Texts edited in a JPEG by handing exiv2 only the segments before the first scan must give the
// very bytes exiv2 writes when it is handed the whole file.
#include <exiv2/exiv2.hpp>

#include <fstream>
#include <span>

#include "sips/metadata.h"
#include "tool_fixture.h"

namespace lensbrook::sips::testing {
namespace {

const std::vector<MetadataEdit> kEdits = {{Property::Artist, "Zoë Lind"},
                                          {Property::Copyright, std::nullopt},
                                          {Property::Description, "A long description, " + std::string(300, 'x')}};

std::string editedWhole(std::string bytes) {
  auto image = Exiv2::ImageFactory::open(reinterpret_cast<const Exiv2::byte*>(bytes.data()), long(bytes.size()));
  image->readMetadata();
  Metadata metadata{image->exifData(), image->xmpData()};
  applyEdits(metadata, kEdits);
  image->setExifData(metadata.exif);
  image->setXmpData(metadata.xmp);
  image->writeMetadata();
  Exiv2::BasicIo& io = image->io();
  return std::string(reinterpret_cast<const char*>(io.mmap()), std::size_t(io.size()));
}

// The edited file, which must come as its start and the scan data straight from `bytes`.
std::string editedByTool(std::string bytes) {
  std::string out;
  auto failed = editMetadata(std::span<char>(bytes), Format::Jpeg, kEdits, [&](std::string_view start, std::string_view rest) {
    EXPECT_TRUE(rest.starts_with("\xff\xda") && rest.data() + rest.size() == bytes.data() + bytes.size());
    out.assign(start);
    out += rest;
    return true;
  });
  EXPECT_FALSE(failed) << *failed;
  return out;
}

TEST_F(SipsTool, JpegTextsEditMatchesExiv2OnTheWholeFile) {
  initMetadata();
  std::string plain = readBytes(makeNoise("plain.jpg"));
  auto tagged = [&](const char* name, std::vector<std::string> args) {
    std::string file = path(name);
    std::ofstream(file, std::ios::binary) << plain;
    args.insert(args.begin(), {"-q", "-overwrite_original"});
    args.push_back(file);
    EXPECT_EQ(exiftool(args).status, 0) << name;
    return readBytes(file);
  };
  std::string thumbnail = path("thumb.jpg");
  std::ofstream(thumbnail, std::ios::binary) << plain;
  // A JFIF marker and fill bytes before the frame header: a walk that trips on them would cut
  // the file in the wrong place.
  std::string filled = plain;
  filled.insert(2, std::string("\xff\xe0\x00\x10JFIF\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00\xff\xff\xff", 21));
  const std::pair<const char*, std::string> cases[] = {
      {"as libvips writes it", plain},
      {"camera EXIF with a thumbnail", tagged("camera.jpg", {"-Make=Lens", "-Model=Brook 1", "-GPSLatitude=59.3",
                                                             "-GPSLatitudeRef=N", "-ThumbnailImage<=" + thumbnail})},
      {"XMP and a comment", tagged("xmp.jpg", {"-XMP-dc:Creator=Old", "-XMP-dc:Rights=Old", "-Comment=kept"})},
      {"texts already set", tagged("texts.jpg", {"-Artist=Old", "-Copyright=Old", "-ImageDescription=Old"})},
      {"fill bytes", filled},
      {"progressive", readBytes(makeImage("progressive.jpg[interlace]").substr(0, path("progressive.jpg").size()))},
  };
  for (const auto& [name, bytes] : cases) {
    SCOPED_TRACE(name);
    ASSERT_FALSE(bytes.empty());
    std::string expected = editedWhole(bytes);
    EXPECT_EQ(editedByTool(bytes), expected);
    EXPECT_NE(expected, bytes);
  }
}

}  // namespace
}  // namespace lensbrook::sips::testing
