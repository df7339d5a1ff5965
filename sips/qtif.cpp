#include "sips/qtif.h"

#include <cstdint>

namespace lensbrook::sips {
namespace {

// Size of the image description that follows the 'idsc' atom header.
constexpr std::size_t kDescriptionSize = 86;

std::uint64_t readBig(std::string_view bytes, std::size_t at, int count) {
  std::uint64_t value = 0;
  for (int i = 0; i < count; ++i) value = (value << 8) | std::uint8_t(bytes[at + i]);
  return value;
}

void appendBig(std::string& out, std::uint64_t value, int count) {
  for (int i = count - 1; i >= 0; --i) out.push_back(char((value >> (8 * i)) & 0xff));
}

struct Atom {
  std::string_view type;
  std::string_view data;
};

// The top-level atom at `at`, or nullopt when its size does not fit in `file`.
std::optional<Atom> atomAt(std::string_view file, std::size_t at, std::size_t* next) {
  if (file.size() - at < 8) return std::nullopt;
  std::uint64_t size = readBig(file, at, 4);
  std::size_t header = 8;
  if (size == 1) {
    if (file.size() - at < 16) return std::nullopt;
    size = readBig(file, at + 8, 8);
    header = 16;
  } else if (size == 0) {
    size = file.size() - at;
  }
  if (size < header || size > file.size() - at) return std::nullopt;
  *next = at + std::size_t(size);
  return Atom{file.substr(at + 4, 4), file.substr(at + header, std::size_t(size) - header)};
}

}  // namespace

bool looksLikeQtif(std::string_view head) {
  if (head.size() < 8) return false;
  std::string_view type = head.substr(4, 4);
  return type == "idsc" || type == "idat";
}

std::optional<QtifImage> readQtif(std::string_view file) {
  std::optional<std::string_view> description;
  std::optional<std::string_view> data;
  std::size_t at = 0;
  while (at < file.size()) {
    std::size_t next = 0;
    auto atom = atomAt(file, at, &next);
    if (!atom) return std::nullopt;
    if (atom->type == "idsc" && !description) description = atom->data;
    if (atom->type == "idat" && !data) data = atom->data;
    at = next;
  }
  if (!description || !data || description->size() < kDescriptionSize) return std::nullopt;
  if (description->substr(4, 4) != "jpeg") return std::nullopt;
  QtifImage image;
  image.width = int(readBig(*description, 32, 2));
  image.height = int(readBig(*description, 34, 2));
  image.jpeg = std::string(*data);
  if (image.width == 0 || image.height == 0) return std::nullopt;
  return image;
}

std::string writeQtif(std::string_view jpeg, int width, int height) {
  std::string out;
  out.reserve(8 + kDescriptionSize + 8 + jpeg.size());
  appendBig(out, 8 + kDescriptionSize, 4);
  out += "idsc";
  appendBig(out, kDescriptionSize, 4);
  out += "jpeg";
  appendBig(out, 0, 4);        // reserved
  appendBig(out, 0, 2);        // reserved
  appendBig(out, 0, 2);        // data reference index
  appendBig(out, 0, 2);        // version
  appendBig(out, 0, 2);        // revision level
  appendBig(out, 0, 4);        // vendor
  appendBig(out, 0, 4);        // temporal quality
  appendBig(out, 0x200, 4);    // spatial quality: normal
  appendBig(out, std::uint64_t(width), 2);
  appendBig(out, std::uint64_t(height), 2);
  appendBig(out, 0x00480000, 4);  // 72 dpi, 16.16 fixed point
  appendBig(out, 0x00480000, 4);
  appendBig(out, jpeg.size() <= 0xffffffffu ? jpeg.size() : 0, 4);
  appendBig(out, 1, 2);        // frame count
  std::string name("\x0cPhoto - JPEG");
  name.resize(32, '\0');       // Pascal string in a 32-byte field
  out += name;
  appendBig(out, 24, 2);       // depth
  appendBig(out, 0xffff, 2);   // no colour table
  if (jpeg.size() + 8 <= 0xffffffffu) {
    appendBig(out, jpeg.size() + 8, 4);
    out += "idat";
  } else {
    appendBig(out, 1, 4);
    out += "idat";
    appendBig(out, jpeg.size() + 16, 8);
  }
  out.append(jpeg);
  return out;
}

}  // namespace lensbrook::sips
