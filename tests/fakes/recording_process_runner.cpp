#include "tests/fakes/recording_process_runner.h"

namespace lensbrook::fakes {

int RecordingProcessRunner::run(const std::string& executable, const std::vector<std::string>& arguments) {
  const Invocation invocation{executable, arguments, false};
  invocations.push_back(invocation);
  record("run " + executable + (arguments.empty() ? "" : " " + joined(arguments)));
  if (whileRunning) whileRunning(invocation);
  return statusOf ? statusOf(invocation) : exitStatus;
}

std::string RecordingProcessRunner::runCapturingOutput(const std::string& executable,
                                                       const std::vector<std::string>& arguments) {
  const Invocation invocation{executable, arguments, true};
  invocations.push_back(invocation);
  record("capture " + executable + (arguments.empty() ? "" : " " + joined(arguments)));
  if (whileRunning) whileRunning(invocation);
  if (arguments.empty()) return "";
  const auto it = outputByLastArgument.find(arguments.back());
  return it == outputByLastArgument.end() ? "" : it->second;
}

std::string RecordingProcessRunner::probeOutput(const std::string& path, int height, int width) {
  return path + "\n  pixelHeight: " + std::to_string(height) + "\n  pixelWidth: " + std::to_string(width) + "\n";
}

}  // namespace lensbrook::fakes
