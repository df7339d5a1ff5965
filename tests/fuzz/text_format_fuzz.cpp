// String tables are text files anyone can edit; no format in them may crash or read a stray argument.
#include <cstdint>
#include <string>

#include "shared/text_format.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string format(reinterpret_cast<const char*>(data), size);
  (void)lensbrook::formatText(format, {});
  (void)lensbrook::formatText(format, {std::string("a.jpg")});
  (void)lensbrook::formatText(format, {std::uint64_t{14}, std::int64_t{-3}, std::string("x")});
  return 0;
}
