#include "sips/header_reader.h"

#include <array>
#include <cstdint>

#include "sips/crc32.h"

namespace lensbrook::sips {
namespace {

// Every check below errs towards "not certain": stricter than the decoders is harmless, since the
// libvips path then answers, but looser would change an answer or hide an error.

std::uint32_t readBig(std::string_view bytes, std::size_t at, int count) {
  std::uint32_t value = 0;
  for (int i = 0; i < count; ++i) value = (value << 8) | std::uint8_t(bytes[at + i]);
  return value;
}

std::uint32_t readLittle(std::string_view bytes, std::size_t at, int count) {
  std::uint32_t value = 0;
  for (int i = count - 1; i >= 0; --i) value = (value << 8) | std::uint8_t(bytes[at + i]);
  return value;
}

std::uint8_t byteAt(std::string_view bytes, std::size_t at) { return std::uint8_t(bytes[at]); }

PixelSize upright(int width, int height, int orientation) {
  // Orientations 5 to 8 turn the image a quarter, so its sides swap.
  if (orientation >= 5) return {height, width};
  return {width, height};
}

// --- EXIF -----------------------------------------------------------------------------------

constexpr std::uint16_t kOrientationTag = 0x0112;
constexpr std::uint16_t kShortType = 3;

// The orientation in the first IFD of a TIFF-structured EXIF block: 1 when the tag is absent,
// nullopt when the block or the tag is anything but plain.
std::optional<int> exifOrientation(std::string_view tiff) {
  if (tiff.size() < 8) return std::nullopt;
  bool little = tiff.substr(0, 2) == "II";
  if (!little && tiff.substr(0, 2) != "MM") return std::nullopt;
  auto read = [&](std::size_t at, int count) {
    return little ? readLittle(tiff, at, count) : readBig(tiff, at, count);
  };
  if (read(2, 2) != 42) return std::nullopt;
  std::size_t ifd = read(4, 4);
  if (ifd < 8 || ifd > tiff.size() - 2) return std::nullopt;
  std::size_t entries = read(ifd, 2);
  if (entries * 12 > tiff.size() - ifd - 2) return std::nullopt;
  std::optional<int> orientation;
  for (std::size_t i = 0; i < entries; ++i) {
    std::size_t entry = ifd + 2 + i * 12;
    if (read(entry, 2) != kOrientationTag) continue;
    if (orientation || read(entry + 2, 2) != kShortType || read(entry + 4, 4) != 1) return std::nullopt;
    int value = int(read(entry + 8, 2));
    if (value < 1 || value > 8) return std::nullopt;
    orientation = value;
  }
  return orientation.value_or(1);
}

// --- JPEG -----------------------------------------------------------------------------------

constexpr std::string_view kExifPrefix{"Exif\0\0", 6};

struct JpegFrame {
  int width = 0;
  int height = 0;
  std::array<std::uint8_t, 4> ids{};
  int components = 0;
};

// Baseline, extended and progressive Huffman frames with 8-bit samples and 1, 3 or 4 components.
std::optional<JpegFrame> readFrame(std::string_view body) {
  if (body.size() < 6 || byteAt(body, 0) != 8) return std::nullopt;
  JpegFrame frame{int(readBig(body, 3, 2)), int(readBig(body, 1, 2)), {}, byteAt(body, 5)};
  if (frame.width == 0 || frame.height == 0 || frame.width > 65500 || frame.height > 65500) return std::nullopt;
  if (frame.components != 1 && frame.components != 3 && frame.components != 4) return std::nullopt;
  if (body.size() != 6 + 3 * std::size_t(frame.components)) return std::nullopt;
  for (int i = 0; i < frame.components; ++i) {
    std::uint8_t id = byteAt(body, 6 + 3 * i), sampling = byteAt(body, 7 + 3 * i), table = byteAt(body, 8 + 3 * i);
    if ((sampling >> 4) < 1 || (sampling >> 4) > 4 || (sampling & 15) < 1 || (sampling & 15) > 4 || table > 3) {
      return std::nullopt;
    }
    for (int j = 0; j < i; ++j) {
      if (frame.ids[j] == id) return std::nullopt;
    }
    frame.ids[i] = id;
  }
  return frame;
}

// A scan header naming each of its components once, all of them in the frame.
bool scanFits(std::string_view body, const JpegFrame& frame) {
  if (body.empty()) return false;
  std::size_t count = byteAt(body, 0);
  if (count < 1 || count > 4 || body.size() != 4 + 2 * count) return false;
  std::array<bool, 4> used{};
  for (std::size_t i = 0; i < count; ++i) {
    int found = -1;
    for (int j = 0; j < frame.components; ++j) {
      if (frame.ids[j] == byteAt(body, 1 + 2 * i)) found = j;
    }
    if (found < 0 || used[found]) return false;
    used[found] = true;
  }
  return true;
}

bool quantisationTablesFit(std::string_view body) {
  while (!body.empty()) {
    std::uint8_t tableInfo = byteAt(body, 0);
    std::size_t size = 1 + 64 * ((tableInfo >> 4) + 1);
    if ((tableInfo >> 4) > 1 || (tableInfo & 15) > 3 || body.size() < size) return false;
    body.remove_prefix(size);
  }
  return true;
}

bool huffmanTablesFit(std::string_view body) {
  while (!body.empty()) {
    if (body.size() < 17) return false;
    std::uint8_t tableInfo = byteAt(body, 0);
    if ((tableInfo >> 4) > 1 || (tableInfo & 15) > 3) return false;
    std::size_t values = 0;
    for (int i = 1; i <= 16; ++i) values += byteAt(body, i);
    if (values > 256 || body.size() < 17 + values) return false;
    body.remove_prefix(17 + values);
  }
  return true;
}

std::optional<PixelSize> readJpeg(std::string_view head) {
  std::optional<JpegFrame> frame;
  std::optional<int> orientation;
  std::size_t at = 2;
  while (true) {
    // Fill bytes may come before a marker; anything else between segments is damage.
    if (at >= head.size() || byteAt(head, at) != 0xff) return std::nullopt;
    while (at < head.size() && byteAt(head, at) == 0xff) ++at;
    if (at + 3 > head.size()) return std::nullopt;
    std::uint8_t marker = byteAt(head, at);
    std::size_t length = readBig(head, at + 1, 2);
    if (length < 2 || at + 1 + length > head.size()) return std::nullopt;
    std::string_view body = head.substr(at + 3, length - 2);
    at += 1 + length;
    if (marker == 0xe1 && body.substr(0, 4) == "Exif") {
      if (orientation || body.substr(0, 6) != kExifPrefix) return std::nullopt;
      orientation = exifOrientation(body.substr(6));
      if (!orientation) return std::nullopt;
    } else if (marker == 0xc0 || marker == 0xc1 || marker == 0xc2) {
      if (frame) return std::nullopt;
      frame = readFrame(body);
      if (!frame) return std::nullopt;
    } else if (marker == 0xda) {
      if (!frame || !scanFits(body, *frame)) return std::nullopt;
      return upright(frame->width, frame->height, orientation.value_or(1));
    } else if (marker == 0xdb) {
      if (!quantisationTablesFit(body)) return std::nullopt;
    } else if (marker == 0xc4) {
      if (!huffmanTablesFit(body)) return std::nullopt;
    } else if (marker == 0xdd) {
      if (body.size() != 2) return std::nullopt;
    } else if ((marker & 0xf0) != 0xe0 && marker != 0xfe) {
      return std::nullopt;  // another frame type, a stray restart or end marker, or a reserved one
    }
  }
}

// --- PNG ------------------------------------------------------------------------------------

constexpr std::string_view kPngSignature{"\x89PNG\r\n\x1a\n", 8};
// Larger PNGs are left to libvips, whose limits decide whether they open.
constexpr std::uint32_t kPngMaxSide = 1000000;


bool validPngHeader(std::string_view ihdr) {
  std::uint32_t width = readBig(ihdr, 0, 4), height = readBig(ihdr, 4, 4);
  if (width == 0 || height == 0 || width > kPngMaxSide || height > kPngMaxSide) return false;
  std::uint8_t depth = byteAt(ihdr, 8), colour = byteAt(ihdr, 9);
  bool depthFits = false;
  switch (colour) {
    case 0: depthFits = depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16; break;
    case 3: depthFits = depth == 1 || depth == 2 || depth == 4 || depth == 8; break;
    case 2: case 4: case 6: depthFits = depth == 8 || depth == 16; break;
    default: break;
  }
  return depthFits && byteAt(ihdr, 10) == 0 && byteAt(ihdr, 11) == 0 && byteAt(ihdr, 12) <= 1;
}

// IHDR first, then ancillary chunks and at most one plain palette up to the first image data,
// every chunk's checksum right. EXIF (eXIf) and unknown critical chunks are left to libvips.
std::optional<PixelSize> readPng(std::string_view head) {
  std::size_t at = kPngSignature.size();
  std::optional<PixelSize> size;
  bool palette = false;
  std::uint8_t colour = 0;
  while (at + 12 <= head.size()) {
    std::uint32_t length = readBig(head, at, 4);
    if (length > head.size() - at - 12) return std::nullopt;
    std::string_view type = head.substr(at + 4, 4);
    std::string_view body = head.substr(at + 8, length);
    if (!size && type != "IHDR") return std::nullopt;
    if (type == "IDAT") return (colour == 3 && !palette) ? std::nullopt : size;
    if (crc32(head.substr(at + 4, 4 + length)) != readBig(head, at + 8 + length, 4)) return std::nullopt;
    if (type == "IHDR") {
      if (size || length != 13 || !validPngHeader(body)) return std::nullopt;
      size = PixelSize{int(readBig(body, 0, 4)), int(readBig(body, 4, 4))};
      colour = byteAt(body, 9);
    } else if (type == "PLTE") {
      if (palette || length == 0 || length > 768 || length % 3 != 0 || colour == 0 || colour == 4) {
        return std::nullopt;
      }
      palette = true;
    } else if (type == "eXIf" || !(byteAt(type, 0) & 0x20)) {
      return std::nullopt;
    }
    at += 12 + length;
  }
  return std::nullopt;
}

}  // namespace

std::optional<PixelSize> readUprightSize(std::string_view head) {
  if (head.size() > kHeaderBytes) head = head.substr(0, kHeaderBytes);
  if (head.substr(0, 2) == "\xff\xd8") return readJpeg(head);
  if (head.substr(0, kPngSignature.size()) == kPngSignature) return readPng(head);
  return std::nullopt;
}

}  // namespace lensbrook::sips
