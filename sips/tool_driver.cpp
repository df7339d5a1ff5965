#include "sips/tool_driver.h"

#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "sips/output_file.h"

namespace lensbrook::sips {
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
  const char* pending = pendingTempPath();
  if (pending[0] != '\0') ::unlink(pending);
  ::_exit(128 + signal);
}

void printError(const std::string& message) { std::fprintf(stderr, "Error: %s\n", message.c_str()); }

}  // namespace

int runTool(int argc, char** argv, const ToolEngine& engine) {
  std::vector<std::string> arguments(argv + 1, argv + argc);
  if (arguments.empty()) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  auto parsed = parseArguments(arguments);
  if (auto* error = std::get_if<std::string>(&parsed)) {
    printError(*error);
    return 2;
  }
  const Plan& plan = std::get<Plan>(parsed);
  if (plan.out && plan.inputs.size() > 1 && !std::filesystem::is_directory(*plan.out)) {
    printError("--out must name a folder when several files are given");
    return 2;
  }
  if (!engine.start(argv[0])) return 1;
  // A signal the caller ignores stays ignored: an ignored file-size limit, for one, makes the write
  // fail instead, which is reported like a full disk. SIGBUS comes from a mapped source file that
  // someone truncated mid-run; SIGABRT and SIGTRAP from a library giving up (GLib does on a failed
  // allocation).
  for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE, SIGXFSZ, SIGBUS, SIGABRT, SIGTRAP}) {
    if (std::signal(signal, removePendingAndExit) == SIG_IGN) std::signal(signal, SIG_IGN);
  }

  int status = 0;
  for (const std::string& input : plan.inputs) {
    if (auto error = engine.process(plan, input)) {
      printError(input + ": " + *error);
      status = 1;
    }
  }
  engine.stop();
  return status;
}

}  // namespace lensbrook::sips
