// The tool's command line comes from a droplet's settings file, which anyone can edit. The input is
// split at NUL bytes into arguments.
#include <cstdint>
#include <string>
#include <vector>

#include "sips/arguments.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> arguments(1);
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] == 0) {
      arguments.emplace_back();
    } else {
      arguments.back() += static_cast<char>(data[i]);
    }
  }
  (void)lensbrook::sips::parseArguments(arguments);
  return 0;
}
