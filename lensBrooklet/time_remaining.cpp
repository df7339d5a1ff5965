#include "lensBrooklet/time_remaining.h"

namespace lensbrook {

bool updatesTimeRemainingAfter(std::size_t index) { return index > 10 && index % 2 == 0; }

double timeRemainingEstimate(double duration, std::size_t index, std::size_t count) {
  const double perItem = duration / static_cast<double>(index + 1);
  return perItem * static_cast<double>(count - index) * 100.0;
}

TimeRemainingText timeRemainingText(double seconds) {
  if (seconds > 70) {
    // Truncated toward zero; clamped so that no estimate, however absurd, overflows.
    const double minutes = seconds / 60 < 1e15 ? seconds / 60 : 1e15;
    const auto m = static_cast<std::int64_t>(minutes);
    if (m == 1) return {"TIME_REMAINING_MINUTE", std::nullopt};
    return {"TIME_REMAINING_X_MINUTES", m};
  }
  if (seconds > 30) return {"TIME_REMAINING_MINUTE", std::nullopt};
  if (seconds > 10) return {"TIME_REMAINING_30_SECONDS", std::nullopt};
  if (seconds > 5) return {"TIME_REMAINING_10_SECONDS", std::nullopt};
  return {"TIME_REMAINING_5_SECONDS", std::nullopt};
}

}  // namespace lensbrook
