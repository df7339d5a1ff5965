// Where failures of the machinery are reported: one line each, never shown to the user.
#pragma once

#include <string>

namespace lensbrook {

class Log {
 public:
  virtual ~Log() = default;
  // Records one line. Safe to call from any thread.
  virtual void write(const std::string& line) = 0;
};

}  // namespace lensbrook
