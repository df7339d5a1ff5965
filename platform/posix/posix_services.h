// The small services of the platform on POSIX: clock, log, quit flag, system version.
#pragma once

#include <atomic>
#include <mutex>
#include <string>

#include "platform/clock.h"
#include "platform/desktop.h"
#include "shared/log.h"

namespace lensbrook {

class SteadyClock : public Clock {
 public:
  double now() override;
};

// Each line goes to syslog under `identity` and, unchanged, to standard error. With
// `standardErrorIsTerminal`, the line first clears the terminal line it starts on, so that it
// replaces a status line drawn there instead of running on after it.
class SyslogLog : public Log {
 public:
  explicit SyslogLog(std::string identity, bool standardErrorIsTerminal = false);
  SyslogLog(const SyslogLog&) = delete;
  SyslogLog& operator=(const SyslogLog&) = delete;
  ~SyslogLog() override;
  void write(const std::string& line) override;

 private:
  std::string identity_;  // syslog keeps the pointer, so it lives as long as the log
  bool standardErrorIsTerminal_;
  std::mutex mutex_;
};

// A quit request for a program without an event loop: the flag its main checks.
class FlagApplication : public Application {
 public:
  void terminate() override { terminating_ = true; }
  bool isTerminating() const override { return terminating_; }

 private:
  std::atomic<bool> terminating_{false};
};

// The level of the designed platform that this layer provides.
class ProvidedSystemVersion : public SystemVersionSource {
 public:
  static constexpr std::int32_t kProvidedVersion = 0x1040;
  std::optional<std::int32_t> querySystemVersion() override { return kProvidedVersion; }
};

}  // namespace lensbrook
