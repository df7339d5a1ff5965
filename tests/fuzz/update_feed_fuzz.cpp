// The update feed comes from the network.
#include <cstdint>
#include <string>
#include <string_view>

#include "lensBrook/update_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const auto feed = lensbrook::parseUpdateFeed(bytes);
  (void)lensbrook::doubleValue(bytes);
  for (bool notify : {false, true}) {
    (void)lensbrook::decideUpdateAlert(feed, "1.0", std::nullopt, notify);
    if (feed) (void)lensbrook::decideUpdateAlert(feed, feed->newBuildNumber, feed->newVersionNumber, notify);
  }
  return 0;
}
