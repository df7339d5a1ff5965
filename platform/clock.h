#pragma once

namespace lensbrook {

class Clock {
 public:
  virtual ~Clock() = default;
  // Seconds on a monotonic clock.
  virtual double now() = 0;
};

}  // namespace lensbrook
