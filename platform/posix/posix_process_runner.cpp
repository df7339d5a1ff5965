#include "platform/posix/posix_process_runner.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <utility>

#include "platform/posix/file_io.h"

extern char** environ;

namespace lensbrook {
namespace {

using posix::OwnedFd;
using Steady = std::chrono::steady_clock;

constexpr auto kTickInterval = std::chrono::milliseconds(20);

// Calls the waiting hook when its interval has passed, and says how long a wait may last.
class Ticker {
 public:
  explicit Ticker(const std::function<void()>& hook) : hook_(hook), last_(Steady::now()) {}
  // Milliseconds until the hook is due; -1 (wait without end) when there is no hook.
  int msUntilDue() const {
    if (!hook_) return -1;
    auto left = std::chrono::ceil<std::chrono::milliseconds>(last_ + kTickInterval - Steady::now());
    return static_cast<int>(std::max<std::int64_t>(0, left.count()));
  }
  void tickIfDue() {
    if (!hook_ || Steady::now() - last_ < kTickInterval) return;
    hook_();
    last_ = Steady::now();
  }

 private:
  const std::function<void()>& hook_;
  Steady::time_point last_;
};

int exitStatusOf(int status) { return WIFEXITED(status) ? WEXITSTATUS(status) : -1; }

enum class Readiness { Ready, NotYet, Failed };

// Waits on `fd` for input (or its end) for at most `timeoutMs`; -1 waits without end.
Readiness waitReadable(int fd, int timeoutMs) {
  struct pollfd entry = {fd, POLLIN, 0};
  int result = ::poll(&entry, 1, timeoutMs);
  if (result > 0) return Readiness::Ready;
  return result == 0 || errno == EINTR ? Readiness::NotYet : Readiness::Failed;
}

}  // namespace

PosixProcessRunner::PosixProcessRunner(std::function<void()> whileWaiting)
    : whileWaiting_(std::move(whileWaiting)) {}

int PosixProcessRunner::run(const std::string& executable,
                            const std::vector<std::string>& arguments) {
  int pid = spawn(executable, arguments, -1);
  return pid < 0 ? -1 : waitForExit(pid);
}

std::string PosixProcessRunner::runCapturingOutput(const std::string& executable,
                                                   const std::vector<std::string>& arguments) {
  int ends[2];
  if (::pipe2(ends, O_CLOEXEC) != 0) return {};
  OwnedFd readEnd(ends[0]);
  OwnedFd writeEnd(ends[1]);
  int pid = spawn(executable, arguments, writeEnd.get());
  writeEnd.reset();  // the child holds the only writer now, so its end is the pipe's end
  if (pid < 0) return {};
  // Read while the child runs: a child whose output fills the pipe would otherwise never end.
  std::string output;
  char buffer[1 << 16];
  Ticker ticker(whileWaiting_);
  for (;;) {
    Readiness readiness = waitReadable(readEnd.get(), ticker.msUntilDue());
    ticker.tickIfDue();
    if (readiness == Readiness::Failed) break;
    if (readiness == Readiness::NotYet) continue;
    ssize_t count = ::read(readEnd.get(), buffer, sizeof buffer);
    if (count == 0) break;
    if (count > 0) output.append(buffer, static_cast<std::size_t>(count));
    else if (errno != EINTR && errno != EAGAIN) break;
  }
  readEnd.reset();
  waitForExit(pid);
  return output;
}

int PosixProcessRunner::spawn(const std::string& executable,
                              const std::vector<std::string>& arguments, int standardOutput) {
  if (executable.empty() || executable.front() != '/') return -1;
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(executable.c_str()));
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attributes;
  ::posix_spawn_file_actions_init(&actions);
  ::posix_spawnattr_init(&attributes);
  // The tool reads no input: it must neither take what the user types nor wait for it.
  ::posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  if (standardOutput >= 0) ::posix_spawn_file_actions_adddup2(&actions, standardOutput, 1);
  // The child starts with no signal blocked and SIGPIPE at its default, whatever the host set.
  sigset_t noSignals;
  sigset_t defaults;
  ::sigemptyset(&noSignals);
  ::sigemptyset(&defaults);
  ::sigaddset(&defaults, SIGPIPE);
  ::posix_spawnattr_setsigmask(&attributes, &noSignals);
  ::posix_spawnattr_setsigdefault(&attributes, &defaults);
  ::posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  pid_t pid = -1;
  int result = ::posix_spawn(&pid, executable.c_str(), &actions, &attributes, argv.data(), environ);
  ::posix_spawnattr_destroy(&attributes);
  ::posix_spawn_file_actions_destroy(&actions);
  return result == 0 ? pid : -1;
}

int PosixProcessRunner::waitForExit(int pid) {
  int status = 0;
  if (!whileWaiting_) {
    while (::waitpid(pid, &status, 0) < 0) {
      if (errno != EINTR) return -1;
    }
    return exitStatusOf(status);
  }
  // A pidfd turns readable when the child ends, so the wait wakes at once rather than on a poll.
  OwnedFd pidfd(static_cast<int>(::syscall(SYS_pidfd_open, pid, 0)));
  Ticker ticker(whileWaiting_);
  for (;;) {
    pid_t ended = ::waitpid(pid, &status, WNOHANG);
    if (ended == pid) return exitStatusOf(status);
    if (ended < 0 && errno != EINTR) return -1;
    if (pidfd.valid()) {
      waitReadable(pidfd.get(), ticker.msUntilDue());
    } else {
      struct timespec pause = {0, 1'000'000};
      ::nanosleep(&pause, nullptr);
    }
    ticker.tickIfDue();
  }
}

}  // namespace lensbrook
