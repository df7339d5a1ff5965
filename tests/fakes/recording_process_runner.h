// A process runner that starts nothing: records every run and answers from a script.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/process_runner.h"
#include "tests/fakes/call_journal.h"

namespace lensbrook::fakes {

struct Invocation {
  std::string executable;
  std::vector<std::string> arguments;
  bool capturedOutput = false;
};

class RecordingProcessRunner : public ProcessRunner, public Recorder {
 public:
  std::vector<Invocation> invocations;

  // Exit status of every run() unless `statusOf` answers; -1 stands for "could not be started".
  int exitStatus = 0;
  std::function<int(const Invocation&)> statusOf;
  // Output of runCapturingOutput(), by the run's last argument (the item of a probe).
  std::map<std::string, std::string> outputByLastArgument;
  // Called during every run, before it returns: lets a test play the tool (write files, move a
  // fake clock).
  std::function<void(const Invocation&)> whileRunning;

  int run(const std::string& executable, const std::vector<std::string>& arguments) override;
  std::string runCapturingOutput(const std::string& executable,
                                 const std::vector<std::string>& arguments) override;

  // The probe output the image tool prints for a picture of that size.
  static std::string probeOutput(const std::string& path, int height, int width);
};

}  // namespace lensbrook::fakes
