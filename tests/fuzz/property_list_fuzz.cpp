// Settings files, string tables and the update feed all enter through this parser.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "shared/property_list.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const auto parsed = lensbrook::parsePropertyList(bytes);
  if (!parsed) return 0;
  (void)parsed->asStringArray();
  // What we write we must read back as the same value.
  if (parsed->kind != lensbrook::PropertyList::Kind::Other) {
    const auto again = lensbrook::parsePropertyList(lensbrook::toXmlPropertyList(*parsed));
    if (!again) std::abort();
  }
  return 0;
}
