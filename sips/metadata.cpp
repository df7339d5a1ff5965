#include "sips/metadata.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <iterator>
#include <string_view>

#include "sips/file_bytes.h"
#include "sips/formats.h"
#include "sips/gif_xmp.h"
#include "sips/png_chunks.h"

namespace lensbrook::sips {
namespace {

struct PropertyKeys {
  Property property;
  const char* exif;
  const char* xmp;
};

constexpr std::array<PropertyKeys, 3> kKeys{{
    {Property::Artist, "Exif.Image.Artist", "Xmp.dc.creator"},
    {Property::Copyright, "Exif.Image.Copyright", "Xmp.dc.rights"},
    {Property::Description, "Exif.Image.ImageDescription", "Xmp.dc.description"},
}};

// Tags of the first IFD that describe the picture rather than the file's layout; everything
// else there (strip offsets, bits per sample, compression) belongs to the source file only.
constexpr std::array<std::string_view, 20> kPortableImageTags{
    "ImageDescription", "Make", "Model", "Orientation", "XResolution", "YResolution",
    "ResolutionUnit", "Software", "DateTime", "Artist", "HostComputer", "Copyright",
    "DocumentName", "Rating", "RatingPercent", "XPTitle", "XPComment", "XPAuthor",
    "XPKeywords", "XPSubject"};

const PropertyKeys& keysOf(Property property) {
  for (const auto& keys : kKeys) {
    if (keys.property == property) return keys;
  }
  return kKeys[0];
}

void eraseXmp(Exiv2::XmpData& xmp, const char* key) {
  auto it = xmp.findKey(Exiv2::XmpKey(key));
  if (it != xmp.end()) xmp.erase(it);
}

// Typed by hand: exiv2 would read a leading lang="..." of the text as a language qualifier.
void setXmpText(Exiv2::XmpData& xmp, const PropertyKeys& keys, const std::string& text) {
  eraseXmp(xmp, keys.xmp);
  if (keys.property == Property::Artist) {
    Exiv2::XmpArrayValue creators(Exiv2::xmpSeq);
    creators.read(text);
    xmp.add(Exiv2::XmpKey(keys.xmp), &creators);
  } else {
    Exiv2::LangAltValue alternatives;
    alternatives.value_["x-default"] = text;
    xmp.add(Exiv2::XmpKey(keys.xmp), &alternatives);
  }
}

template <typename Data, typename Key>
void eraseExif(Data& exif, const char* key) {
  auto it = exif.findKey(Key(key));
  if (it != exif.end()) exif.erase(it);
}

template <typename Data, typename Key>
void setIfPresent(Data& data, const char* key, long value) {
  auto it = data.findKey(Key(key));
  if (it != data.end()) it->setValue(std::to_string(value));
}

// The packet for `xmp`, "" when empty; false when exiv2 cannot encode it. The toolkit pads packets
// by 2 KB for editing in place, of no use in a file that is always rewritten whole.
bool encodePacket(const Exiv2::XmpData& xmp, std::string& packet) {
  packet.clear();
  if (xmp.empty()) return true;
  if (Exiv2::XmpParser::encode(packet, xmp) != 0) return false;
  std::size_t end = packet.rfind("<?xpacket end=");
  std::size_t padding = packet.find_last_not_of(" \n", end == std::string::npos ? 0 : end - 1);
  if (end != std::string::npos && padding != std::string::npos) packet.replace(padding + 1, end - padding - 1, "\n");
  return true;
}

// Gives the PNG in `png` `metadata` as its only EXIF and XMP.
std::optional<std::string> putPngMetadata(std::string& png, const Metadata& metadata) {
  std::string exif;
  if (!metadata.exif.empty()) {
    Exiv2::Blob blob;
    Exiv2::ExifParser::encode(blob, Exiv2::littleEndian, metadata.exif);
    exif.assign(blob.begin(), blob.end());
  }
  std::string xmp;
  if (!encodePacket(metadata.xmp, xmp)) return "cannot encode the XMP metadata";
  auto result = replacePngMetadata(png, exif, xmp);
  if (!result) return "the PNG data is malformed";
  png = std::move(*result);
  return std::nullopt;
}

// exiv2 reads and writes no GIF metadata, and a GIF holds no EXIF: its texts go into the XMP packet.
std::optional<std::string> putGifMetadata(std::string& gif, const Metadata& metadata) {
  Exiv2::XmpData xmp = metadata.xmp;
  for (const auto& keys : kKeys) {
    auto text = metadata.exif.findKey(Exiv2::ExifKey(keys.exif));
    if (text != metadata.exif.end() && xmp.findKey(Exiv2::XmpKey(keys.xmp)) == xmp.end()) {
      setXmpText(xmp, keys, text->toString());
    }
  }
  std::string packet;
  if (!encodePacket(xmp, packet)) return "cannot encode the XMP metadata";
  auto result = replaceGifXmp(gif, packet);
  if (!result) return "the GIF data is malformed";
  gif = std::move(*result);
  return std::nullopt;
}

// The XMP of the GIF in `gif`. A packet exiv2 cannot parse is dropped; the texts set on it are
// written anew.
Exiv2::XmpData gifXmp(const std::string& gif) {
  Exiv2::XmpData xmp;
  auto packet = readGifXmp(gif);
  if (packet && !packet->empty() && Exiv2::XmpParser::decode(xmp, *packet) != 0) xmp.clear();
  return xmp;
}

// The PNG or GIF file at `path` given `metadata`.
std::optional<std::string> rewriteWith(const std::string& path, Format format, const Metadata& metadata) {
  auto mapped = MappedFile::open(path);
  if (!mapped) return std::string("cannot read back the file written");
  std::string bytes(mapped->bytes());
  mapped.reset();
  auto failed = format == Format::Png ? putPngMetadata(bytes, metadata) : putGifMetadata(bytes, metadata);
  if (failed) return failed;
  if (!writeWhole(path, bytes)) return std::string("cannot write the metadata");
  return std::nullopt;
}

// EXIF tags that describe JPEG data and are not allowed in a TIFF file.
bool isJpegOnly(const Exiv2::Exifdatum& datum) {
  static constexpr std::array<std::string_view, 4> kTags{"ComponentsConfiguration", "CompressedBitsPerPixel",
                                                          "PixelXDimension", "PixelYDimension"};
  return datum.groupName() == "Photo" && std::find(kTags.begin(), kTags.end(), datum.tagName()) != kTags.end();
}

std::string describe(const std::exception& e) { return std::string("metadata: ") + e.what(); }

}  // namespace

void initMetadata() {
  Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
  Exiv2::XmpParser::initialize();
}

bool holdsMetadata(Format format) {
  return format != Format::Bmp && format != Format::Pict;
}

std::optional<std::string> refuseEdits(Format format, const std::vector<MetadataEdit>& edits) {
  if (holdsMetadata(format)) return std::nullopt;
  for (const MetadataEdit& edit : edits) {
    if (edit.value) return std::string(formatName(format)) + " files cannot hold " + propertyName(edit.property);
  }
  return std::nullopt;
}

namespace {

template <typename Open>
Metadata readFrom(Open open) {
  Metadata metadata;
  try {
    auto image = open();
    image->readMetadata();
    metadata.exif = image->exifData();
    metadata.xmp = image->xmpData();
  } catch (const std::exception&) {
    // A format exiv2 does not know carries nothing we could keep.
  }
  return metadata;
}

}  // namespace

Metadata readMetadata(const std::string& path) {
  Metadata metadata = readFrom([&] { return Exiv2::ImageFactory::open(path); });
  auto head = readHead(path, 6);
  if (!head || sniffFormat(*head) != Format::Gif) return metadata;
  if (auto gif = MappedFile::open(path)) metadata.xmp = gifXmp(std::string(gif->bytes()));
  return metadata;
}

Metadata readMetadataFromMemory(std::string_view bytes) {
  return readFrom([&] {
    return Exiv2::ImageFactory::open(reinterpret_cast<const Exiv2::byte*>(bytes.data()), long(bytes.size()));
  });
}

void applyEdits(Metadata& metadata, const std::vector<MetadataEdit>& edits) {
  for (const auto& edit : edits) {
    const PropertyKeys& keys = keysOf(edit.property);
    bool hadXmp = !metadata.xmp.empty();
    eraseExif<Exiv2::ExifData, Exiv2::ExifKey>(metadata.exif, keys.exif);
    eraseXmp(metadata.xmp, keys.xmp);
    if (!edit.value) continue;
    metadata.exif[keys.exif] = *edit.value;
    if (hadXmp) setXmpText(metadata.xmp, keys, *edit.value);
  }
}

void markRedrawn(Metadata& metadata, int width, int height) {
  Exiv2::ExifThumb(metadata.exif).erase();
  for (auto it = metadata.exif.begin(); it != metadata.exif.end();) {
    bool layout = it->groupName() == "Image" &&
                  std::find(kPortableImageTags.begin(), kPortableImageTags.end(), it->tagName()) ==
                      kPortableImageTags.end();
    it = layout ? metadata.exif.erase(it) : std::next(it);
  }
  using ExifKeyed = Exiv2::ExifData;
  setIfPresent<ExifKeyed, Exiv2::ExifKey>(metadata.exif, "Exif.Image.Orientation", 1);
  setIfPresent<ExifKeyed, Exiv2::ExifKey>(metadata.exif, "Exif.Photo.PixelXDimension", width);
  setIfPresent<ExifKeyed, Exiv2::ExifKey>(metadata.exif, "Exif.Photo.PixelYDimension", height);
  setIfPresent<Exiv2::XmpData, Exiv2::XmpKey>(metadata.xmp, "Xmp.tiff.Orientation", 1);
  setIfPresent<Exiv2::XmpData, Exiv2::XmpKey>(metadata.xmp, "Xmp.exif.PixelXDimension", width);
  setIfPresent<Exiv2::XmpData, Exiv2::XmpKey>(metadata.xmp, "Xmp.exif.PixelYDimension", height);
  eraseXmp(metadata.xmp, "Xmp.tiff.ImageWidth");
  eraseXmp(metadata.xmp, "Xmp.tiff.ImageLength");
}

std::optional<std::string> writeMetadata(const std::string& path, Format format,
                                         const Metadata& metadata) {
  if (metadata.exif.empty() && metadata.xmp.empty()) return std::nullopt;
  if (!holdsMetadata(format)) return std::nullopt;
  try {
    if (format == Format::Png || format == Format::Gif) return rewriteWith(path, format, metadata);
    auto image = Exiv2::ImageFactory::open(path);
    image->readMetadata();
    for (const auto& datum : metadata.exif) {
      if (format == Format::Tiff && isJpegOnly(datum)) continue;
      auto it = image->exifData().findKey(Exiv2::ExifKey(datum.key()));
      if (it != image->exifData().end()) {
        it->setValue(&datum.value());
      } else {
        image->exifData().add(datum);
      }
    }
    for (const auto& datum : metadata.xmp) {
      eraseXmp(image->xmpData(), datum.key().c_str());
      image->xmpData().add(datum);
    }
    image->writeMetadata();
  } catch (const std::exception& e) {
    return describe(e);
  }
  return std::nullopt;
}

namespace {

constexpr std::string_view kScanMarker = "\xff\xda";

// Where the first scan of the JPEG `file` starts, or npos when its markers do not lead to one.
std::size_t firstScan(std::string_view file) {
  auto byte = [&](std::size_t at) { return std::uint8_t(file[at]); };
  if (file.size() < 4 || byte(0) != 0xff || byte(1) != 0xd8) return std::string_view::npos;
  std::size_t at = 2;
  while (at + 4 <= file.size() && byte(at) == 0xff) {
    std::uint8_t marker = byte(at + 1);
    if (marker == 0xff) {  // fill byte
      ++at;
      continue;
    }
    if (marker == 0xda) return at;
    if (marker == 0xd9 || marker == 0x01 || (marker >= 0xd0 && marker <= 0xd7)) break;  // no length of their own
    std::size_t length = (std::size_t(byte(at + 2)) << 8) | byte(at + 3);
    if (length < 2) break;
    at += 2 + length;
  }
  return std::string_view::npos;
}

// The image in `bytes` with `edits` made by exiv2, which edits some formats' buffers in place.
Exiv2::Image::AutoPtr editWithExiv2(std::span<char> bytes, const std::vector<MetadataEdit>& edits) {
  auto image = Exiv2::ImageFactory::open(reinterpret_cast<const Exiv2::byte*>(bytes.data()), long(bytes.size()));
  image->readMetadata();
  Metadata metadata{image->exifData(), image->xmpData()};
  applyEdits(metadata, edits);
  image->setExifData(metadata.exif);
  image->setXmpData(metadata.xmp);
  image->writeMetadata();
  return image;
}

// What exiv2 wrote, in its own memory.
std::string_view written(Exiv2::Image& image) {
  Exiv2::BasicIo& io = image.io();
  return {reinterpret_cast<const char*>(io.mmap()), std::size_t(io.size())};
}

}  // namespace

std::optional<std::string> editMetadata(std::span<char> file, Format format, const std::vector<MetadataEdit>& edits,
                                        const FileWriter& write) {
  std::string_view whole(file.data(), file.size());
  try {
    if (auto refused = refuseEdits(format, edits)) return refused;
    if (edits.empty() || !holdsMetadata(format)) {
      // Nothing to change: the file as it is.
      if (!write(whole, {})) return std::string("cannot write the result");
      return std::nullopt;
    }
    if (format == Format::Png || format == Format::Gif) {
      std::string rewritten(whole);
      Metadata metadata = readMetadataFromMemory(rewritten);
      if (format == Format::Gif) metadata.xmp = gifXmp(rewritten);
      applyEdits(metadata, edits);
      auto failed = format == Format::Png ? putPngMetadata(rewritten, metadata) : putGifMetadata(rewritten, metadata);
      if (failed) return failed;
      if (!write(rewritten, {})) return std::string("cannot write the result");
      return std::nullopt;
    }
    // exiv2 copies a JPEG from its first scan on as it stands, so it is handed only the segments
    // before it and a bare scan marker; the scan data, nearly all of a photo, then goes out straight
    // from `file` instead of through a copy in exiv2's memory.
    if (std::size_t scan = format == Format::Jpeg ? firstScan(whole) : std::string_view::npos;
        scan != std::string_view::npos) {
      std::string start(whole.substr(0, scan));
      start += kScanMarker;
      auto image = editWithExiv2(start, edits);
      std::string_view edited = written(*image);
      if (edited.ends_with(kScanMarker)) {
        edited.remove_suffix(kScanMarker.size());
        if (!write(edited, whole.substr(scan))) return std::string("cannot write the result");
        return std::nullopt;
      }
    }
    auto image = editWithExiv2(file, edits);
    if (!write(written(*image), {})) return std::string("cannot write the result");
  } catch (const std::exception& e) {
    return describe(e);
  }
  return std::nullopt;
}

}  // namespace lensbrook::sips
