// A GIF from a photo folder has its XMP packet read and replaced by our own block walker. Beyond
// not crashing: a packet written must read back, and the rest of the file must not change.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "sips/gif_xmp.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string gif(reinterpret_cast<const char*>(data), size);
  const std::string packet = "<x:xmpmeta>\xff\x01 Zo\xc3\xab</x:xmpmeta>";
  auto read = lensbrook::sips::readGifXmp(gif);
  auto replaced = lensbrook::sips::replaceGifXmp(gif, packet);
  if (read.has_value() != replaced.has_value()) std::abort();
  if (!replaced) return 0;
  if (lensbrook::sips::readGifXmp(*replaced) != packet) std::abort();
  auto stripped = lensbrook::sips::replaceGifXmp(*replaced, "");
  auto strippedInput = lensbrook::sips::replaceGifXmp(gif, "");
  if (!stripped || !strippedInput || stripped->substr(6) != strippedInput->substr(6)) std::abort();
  return 0;
}
