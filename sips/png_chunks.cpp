#include "sips/png_chunks.h"

#include <cstdint>
#include <string_view>

#include "sips/crc32.h"

namespace lensbrook::sips {
namespace {

constexpr std::string_view kSignature("\x89PNG\r\n\x1a\n", 8);


std::uint32_t readBig32(std::string_view bytes, std::size_t at) {
  return (std::uint32_t(std::uint8_t(bytes[at])) << 24) | (std::uint32_t(std::uint8_t(bytes[at + 1])) << 16) |
         (std::uint32_t(std::uint8_t(bytes[at + 2])) << 8) | std::uint32_t(std::uint8_t(bytes[at + 3]));
}

void appendBig32(std::string& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(char((value >> shift) & 0xff));
}

void appendChunk(std::string& out, std::string_view type, std::string_view data) {
  appendBig32(out, std::uint32_t(data.size()));
  std::string body(type);
  body.append(data);
  out.append(body);
  appendBig32(out, crc32(body));
}

// Text chunks begin with a keyword ended by NUL.
bool isMetadataChunk(std::string_view type, std::string_view data) {
  if (type == "eXIf") return true;
  if (type != "tEXt" && type != "zTXt" && type != "iTXt") return false;
  std::string_view keyword = data.substr(0, data.find('\0'));
  return keyword == "XML:com.adobe.xmp" || keyword == "Raw profile type exif" ||
         keyword == "Raw profile type APP1" || keyword == "Raw profile type xmp";
}

}  // namespace

std::optional<std::string> replacePngMetadata(const std::string& png, const std::string& exif,
                                              const std::string& xmp) {
  std::string_view in(png);
  if (in.substr(0, kSignature.size()) != kSignature) return std::nullopt;
  std::string out(kSignature);
  out.reserve(png.size() + exif.size() + xmp.size() + 64);
  bool inserted = false;
  bool ended = false;
  std::size_t at = kSignature.size();
  while (!ended) {
    if (in.size() - at < 12) return std::nullopt;
    std::uint32_t length = readBig32(in, at);
    if (length > in.size() - at - 12) return std::nullopt;
    std::string_view type = in.substr(at + 4, 4);
    std::string_view data = in.substr(at + 8, length);
    if (type == "IDAT" && !inserted) {
      if (!exif.empty()) appendChunk(out, "eXIf", exif);
      if (!xmp.empty()) {
        // iTXt: keyword, NUL, uncompressed flag, method, empty language and translated keyword.
        std::string text("XML:com.adobe.xmp\0\0\0\0\0", 22);
        appendChunk(out, "iTXt", text + xmp);
      }
      inserted = true;
    }
    if (!isMetadataChunk(type, data)) out.append(in.substr(at, 12 + length));
    ended = type == "IEND";
    at += 12 + length;
  }
  if (!inserted) return std::nullopt;
  return out;
}

}  // namespace lensbrook::sips
