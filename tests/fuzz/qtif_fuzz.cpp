// QuickTime image files are parsed by our own code before libvips sees the JPEG inside.
#include <cstdint>
#include <string_view>

#include "sips/qtif.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view file(reinterpret_cast<const char*>(data), size);
  (void)lensbrook::sips::looksLikeQtif(file);
  (void)lensbrook::sips::readQtif(file);
  return 0;
}
