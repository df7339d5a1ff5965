// The image tool's engine library: every run that needs libvips comes here.
#include <cstdio>
#include <cstdlib>

#include <vips/vips.h>

#include "sips/engine_entry.h"
#include "sips/metadata.h"
#include "sips/pipeline.h"
#include "sips/tool_driver.h"

namespace {

bool startVips(const char* argv0) {
  // Starting libvips with its home elsewhere keeps it from loading every optional module at
  // start-up; the pipeline loads them only for the files that need them.
  setenv("VIPSHOME", "/proc/self", 1);
  setenv("VIPS_WARNING", "0", 0);
  if (VIPS_INIT(argv0) != 0) {
    std::fputs("Error: cannot start libvips\n", stderr);
    return false;
  }
  lensbrook::sips::setModuleFolder(SIPS_VIPS_MODULE_DIR);
  lensbrook::sips::initMetadata();
  return true;
}

void stopVips() { vips_shutdown(); }

}  // namespace

extern "C" int lensbrook_sips_engine_main(int argc, char** argv) {
  return lensbrook::sips::runTool(argc, argv, {startVips, lensbrook::sips::processFile, stopVips});
}
