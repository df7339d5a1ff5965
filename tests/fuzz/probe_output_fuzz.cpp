// The size probe's output is whatever the tool printed: any bytes, any length.
#include <cstdint>
#include <string_view>

#include "lensBrooklet/probe_output.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view output(reinterpret_cast<const char*>(data), size);
  (void)lensbrook::probeValue(output, "pixelHeight: ");
  (void)lensbrook::probeValue(output, "pixelWidth: ");
  (void)lensbrook::integerValue(output);
  return 0;
}
