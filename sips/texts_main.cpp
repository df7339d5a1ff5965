// The image tool's texts library: runs that only set or remove texts need exiv2 alone, and
// loading it costs a tenth of loading libvips and the hundred libraries behind it.
#include "sips/engine_entry.h"
#include "sips/metadata.h"
#include "sips/source_file.h"
#include "sips/tool_driver.h"

namespace {

bool startExiv2(const char*) {
  lensbrook::sips::initMetadata();
  return true;
}

void stopNothing() {}

std::optional<std::string> processTexts(const lensbrook::sips::Plan& plan, const std::string& input) {
  if (!plan.changesOnlyTexts()) return std::string("this run needs the image engine");
  return lensbrook::sips::processTextsOnly(plan, input);
}

}  // namespace

extern "C" int lensbrook_sips_engine_main(int argc, char** argv) {
  return lensbrook::sips::runTool(argc, argv, {startExiv2, processTexts, stopNothing});
}
