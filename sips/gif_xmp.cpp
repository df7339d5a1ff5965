#include "sips/gif_xmp.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace lensbrook::sips {
namespace {

constexpr std::size_t kHeaderSize = 6;
constexpr std::size_t kScreenDescriptorSize = 7;
constexpr char kExtension = 0x21;
constexpr char kImage = 0x2c;
constexpr char kTrailer = 0x3b;
// Extension introducer, application label, identifier length, then identifier and code.
constexpr std::string_view kXmpHeader("\x21\xff\x0bXMP DataXMP", 14);

std::uint8_t byteAt(std::string_view in, std::size_t at) { return std::uint8_t(in[at]); }

// 0x01, 0xff down to 0x00, then the block terminator: wherever a reader treating the packet as
// sub-blocks lands in it, the length bytes lead it to the terminator.
const std::string& magicTrailer() {
  static const std::string trailer = [] {
    std::string t(1, '\x01');
    for (int value = 0xff; value >= 0; --value) t.push_back(char(value));
    t.push_back('\0');
    return t;
  }();
  return trailer;
}

// Size of the colour table announced by a packed byte (screen or image descriptor).
std::size_t colourTableSize(std::uint8_t packed) {
  return (packed & 0x80) ? 3u * (2u << (packed & 0x07)) : 0;
}

// Moves `at` past a run of sub-blocks and its terminator; false when the data ends first.
bool skipSubBlocks(std::string_view in, std::size_t& at) {
  while (at < in.size()) {
    std::size_t length = byteAt(in, at++);
    if (length == 0) return true;
    if (length > in.size() - at) return false;
    at += length;
  }
  return false;
}

struct Span {
  std::size_t begin, end;
};

struct Layout {
  std::size_t screenEnd = 0;  // after the screen descriptor and global colour table
  std::vector<Span> xmp;      // every XMP extension, whole
};

std::optional<Layout> walk(std::string_view in) {
  if (in.size() < kHeaderSize + kScreenDescriptorSize) return std::nullopt;
  if (in.substr(0, kHeaderSize) != "GIF87a" && in.substr(0, kHeaderSize) != "GIF89a") return std::nullopt;
  Layout layout;
  std::size_t at = kHeaderSize + kScreenDescriptorSize;
  std::size_t table = colourTableSize(byteAt(in, kHeaderSize + 4));
  if (table > in.size() - at) return std::nullopt;
  at += table;
  layout.screenEnd = at;
  while (at < in.size()) {
    std::size_t begin = at;
    char kind = in[at++];
    if (kind == kTrailer) return layout;
    if (kind == kExtension) {
      if (at >= in.size()) return std::nullopt;
      ++at;  // label
      if (!skipSubBlocks(in, at)) return std::nullopt;
      if (in.substr(begin, kXmpHeader.size()) == kXmpHeader) layout.xmp.push_back({begin, at});
    } else if (kind == kImage) {
      // Position and size (8 bytes), packed byte, then the local colour table and the LZW code size.
      if (in.size() - at < 9) return std::nullopt;
      std::size_t local = colourTableSize(byteAt(in, at + 8));
      at += 9;
      if (local >= in.size() - at) return std::nullopt;
      at += local + 1;
      if (!skipSubBlocks(in, at)) return std::nullopt;
    } else {
      return std::nullopt;
    }
  }
  return std::nullopt;  // no trailer
}

// The packet held by one XMP extension: the raw bytes before the magic trailer, or, from a
// writer that split it into ordinary sub-blocks, their data joined.
std::string packetOf(std::string_view in, Span span) {
  std::string_view body = in.substr(span.begin + kXmpHeader.size(), span.end - span.begin - kXmpHeader.size());
  const std::string& trailer = magicTrailer();
  if (body.size() >= trailer.size() && body.substr(body.size() - trailer.size()) == trailer) {
    return std::string(body.substr(0, body.size() - trailer.size()));
  }
  std::string packet;
  for (std::size_t at = 0; at < body.size() && body[at] != '\0';) {
    std::size_t length = byteAt(body, at);
    packet.append(body.substr(at + 1, length));
    at += 1 + length;
  }
  return packet;
}

}  // namespace

std::optional<std::string> readGifXmp(const std::string& gif) {
  auto layout = walk(gif);
  if (!layout) return std::nullopt;
  if (layout->xmp.empty()) return std::string();
  return packetOf(gif, layout->xmp.front());
}

std::optional<std::string> replaceGifXmp(const std::string& gif, const std::string& xmp) {
  if (xmp.find('\0') != std::string::npos) return std::nullopt;
  auto layout = walk(gif);
  if (!layout) return std::nullopt;
  std::string out;
  out.reserve(gif.size() + xmp.size() + kXmpHeader.size() + magicTrailer().size());
  out.append(gif, 0, layout->screenEnd);
  if (!xmp.empty()) {
    out.replace(0, kHeaderSize, "GIF89a");
    out.append(kXmpHeader);
    out.append(xmp);
    out.append(magicTrailer());
  }
  std::size_t at = layout->screenEnd;
  for (Span span : layout->xmp) {
    out.append(gif, at, span.begin - at);
    at = span.end;
  }
  out.append(gif, at, std::string::npos);
  return out;
}

}  // namespace lensbrook::sips
