// Starting the image tool and waiting for it.
#pragma once

#include <string>
#include <vector>

namespace lensbrook {

class ProcessRunner {
 public:
  virtual ~ProcessRunner() = default;

  // Runs `executable` (an absolute path, no shell) with `arguments` as argv[1..], each passed as
  // exactly one argument, and waits for it to end. Returns its exit status; -1 when it could not
  // be started or was ended by a signal.
  virtual int run(const std::string& executable, const std::vector<std::string>& arguments) = 0;

  // As run(), with standard output connected to a pipe that is read to its end; returns what the
  // process wrote there (empty when it could not be started). Standard error is left alone.
  virtual std::string runCapturingOutput(const std::string& executable,
                                         const std::vector<std::string>& arguments) = 0;
};

}  // namespace lensbrook
