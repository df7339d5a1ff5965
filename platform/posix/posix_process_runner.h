// Child processes through posix_spawn: no shell, no search path.
#pragma once

#include <functional>

#include "platform/process_runner.h"

namespace lensbrook {

class PosixProcessRunner : public ProcessRunner {
 public:
  // `whileWaiting`, when given, is called about every 20 ms while a child runs, on the calling
  // thread, so that a user interface can repaint; it must not start another child.
  explicit PosixProcessRunner(std::function<void()> whileWaiting = {});

  // A path that is not absolute is refused (-1), as it would depend on the current folder.
  // Children read standard input from /dev/null.
  int run(const std::string& executable, const std::vector<std::string>& arguments) override;
  std::string runCapturingOutput(const std::string& executable,
                                 const std::vector<std::string>& arguments) override;

 private:
  int spawn(const std::string& executable, const std::vector<std::string>& arguments,
            int standardOutput);
  int waitForExit(int pid);

  std::function<void()> whileWaiting_;
};

}  // namespace lensbrook
