#include "sips/formats.h"

#include "sips/qtif.h"

namespace lensbrook::sips {
namespace {

bool startsWith(std::string_view head, std::string_view magic) {
  return head.substr(0, magic.size()) == magic;
}

// PICT files begin with a 512-byte application header (all zeros when written by most tools),
// then the picture size, frame, and the version 2 opcode 0x0011 0x02ff.
bool isPict(std::string_view head) {
  if (head.size() < 526) return false;
  return head.substr(522, 4) == std::string_view("\x00\x11\x02\xff", 4);
}

}  // namespace

std::optional<Format> sniffFormat(std::string_view head) {
  if (startsWith(head, "\xff\xd8\xff")) return Format::Jpeg;
  if (startsWith(head, "\x89PNG\r\n\x1a\n")) return Format::Png;
  if (startsWith(head, std::string_view("II*\0", 4)) || startsWith(head, std::string_view("MM\0*", 4))) {
    return Format::Tiff;
  }
  if (startsWith(head, "GIF87a") || startsWith(head, "GIF89a")) return Format::Gif;
  if (startsWith(head, std::string_view("\0\0\0\x0cjP  \r\n\x87\n", 12)) ||
      startsWith(head, "\xff\x4f\xff\x51")) {
    return Format::Jp2;
  }
  if (startsWith(head, "BM")) return Format::Bmp;
  if (startsWith(head, "8BPS")) return Format::Psd;
  if (looksLikeQtif(head)) return Format::Qtif;
  if (isPict(head)) return Format::Pict;
  return std::nullopt;
}

bool readsWithoutModules(std::string_view head) {
  if (auto format = sniffFormat(head)) {
    return *format != Format::Bmp && *format != Format::Psd && *format != Format::Pict;
  }
  return head.size() >= 12 && startsWith(head, "RIFF") && head.substr(8, 4) == "WEBP";
}

bool keepsAlpha(Format format) {
  return format == Format::Png || format == Format::Tiff || format == Format::Gif ||
         format == Format::Jp2 || format == Format::Psd;
}

bool keepsIccProfile(Format format) {
  return format == Format::Jpeg || format == Format::Png || format == Format::Tiff ||
         format == Format::Psd || format == Format::Qtif;
}

bool keepsCmyk(Format format) { return format == Format::Jpeg || format == Format::Tiff; }

bool isLossy(Format format) {
  return format == Format::Jpeg || format == Format::Jp2 || format == Format::Qtif;
}

}  // namespace lensbrook::sips
