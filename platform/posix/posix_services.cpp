#include "platform/posix/posix_services.h"

#include <syslog.h>

#include <chrono>
#include <cstdio>
#include <utility>

namespace lensbrook {

double SteadyClock::now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

SyslogLog::SyslogLog(std::string identity, bool standardErrorIsTerminal)
    : identity_(std::move(identity)), standardErrorIsTerminal_(standardErrorIsTerminal) {
  ::openlog(identity_.c_str(), LOG_PID, LOG_USER);
}

SyslogLog::~SyslogLog() { ::closelog(); }

void SyslogLog::write(const std::string& line) {
  std::lock_guard<std::mutex> lock(mutex_);
  ::syslog(LOG_ERR, "%s", line.c_str());
  std::string withEnd = (standardErrorIsTerminal_ ? "\r\x1b[K" : "") + line + "\n";
  std::fwrite(withEnd.data(), 1, withEnd.size(), stderr);
  std::fflush(stderr);
}

}  // namespace lensbrook
