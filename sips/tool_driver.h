// The tool's run over its command line, shared by its two engine libraries: usage, arguments,
// signals, one "Error:" line per file that failed, and the exit status.
#pragma once

#include <optional>
#include <string>

#include "sips/arguments.h"

namespace lensbrook::sips {

struct ToolEngine {
  // Readies the libraries the engine needs; false when it cannot.
  bool (*start)(const char* argv0);
  // Applies the plan to one file: nullopt on success, else what failed.
  std::optional<std::string> (*process)(const Plan& plan, const std::string& input);
  // Called once the files are done, when `start` succeeded.
  void (*stop)();
};

// Runs the tool on `argv` with `engine` and returns the exit status.
int runTool(int argc, char** argv, const ToolEngine& engine);

}  // namespace lensbrook::sips
