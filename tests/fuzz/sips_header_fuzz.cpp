// The size probe's header reader sees the first bytes of any file a user drops.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "sips/header_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view head(reinterpret_cast<const char*>(data), size);
  auto found = lensbrook::sips::readUprightSize(head);
  if (found && (found->width <= 0 || found->height <= 0)) std::abort();
  return 0;
}
