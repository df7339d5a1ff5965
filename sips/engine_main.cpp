// The image tool's engine: every run the header reader cannot answer alone comes here.
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <vips/vips.h>

#include "sips/arguments.h"
#include "sips/engine_entry.h"
#include "sips/metadata.h"
#include "sips/output_file.h"
#include "sips/pipeline.h"

namespace {

constexpr const char* kUsage =
    "usage: sips [options] FILE... [--out PATH]\n"
    "  -s artist|copyright|description TEXT   set a text      -d artist|copyright|description\n"
    "  -s format jpeg|tiff|png|gif|jp2|bmp|psd|pict|qtif      -s formatOptions low|normal|high|best|default|1-100\n"
    "  -f horizontal|vertical   -r DEGREES   -p H W   -c H W   -z H W\n"
    "  --resampleWidth W   --resampleHeight H   --resampleHeightWidthMax N   -i\n"
    "  -g pixelHeight -g pixelWidth\n";

// A kill mid-run leaves the target untouched; this also takes the half-written temporary away.
void removePendingAndExit(int signal) {
  const char* pending = lensbrook::sips::pendingTempPath();
  if (pending[0] != '\0') ::unlink(pending);
  ::_exit(128 + signal);
}

void printError(const std::string& message) { std::fprintf(stderr, "Error: %s\n", message.c_str()); }

}  // namespace

extern "C" int lensbrook_sips_engine_main(int argc, char** argv) {
  namespace sips = lensbrook::sips;
  std::vector<std::string> arguments(argv + 1, argv + argc);
  if (arguments.empty()) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  auto parsed = sips::parseArguments(arguments);
  if (auto* error = std::get_if<std::string>(&parsed)) {
    printError(*error);
    return 2;
  }
  const sips::Plan& plan = std::get<sips::Plan>(parsed);
  if (plan.out && plan.inputs.size() > 1 && !std::filesystem::is_directory(*plan.out)) {
    printError("--out must name a folder when several files are given");
    return 2;
  }

  // Starting libvips with its home elsewhere keeps it from loading every optional module at
  // start-up; the pipeline loads them only for the files that need them.
  setenv("VIPSHOME", "/proc/self", 1);
  setenv("VIPS_WARNING", "0", 0);
  if (VIPS_INIT(argv[0]) != 0) {
    printError("cannot start libvips");
    return 1;
  }
  sips::setModuleFolder(SIPS_VIPS_MODULE_DIR);
  sips::initMetadata();
  // A signal the caller ignores stays ignored: an ignored file-size limit, for one, makes the write
  // fail instead, which is reported like a full disk.
  for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE, SIGXFSZ}) {
    if (std::signal(signal, removePendingAndExit) == SIG_IGN) std::signal(signal, SIG_IGN);
  }

  int status = 0;
  for (const std::string& input : plan.inputs) {
    if (auto error = sips::processFile(plan, input)) {
      printError(input + ": " + *error);
      status = 1;
    }
  }
  vips_shutdown();
  return status;
}
