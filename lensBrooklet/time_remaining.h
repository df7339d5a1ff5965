// The coarse time-remaining estimate of the progress window.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace lensbrook {

// The label only changes after the items with an even index above 10.
bool updatesTimeRemainingAfter(std::size_t index);

// Seconds left, from the one item just finished: its duration over its 1-based position, times the
// items from it to the end, times 100 (a deliberately coarse figure that users know).
double timeRemainingEstimate(double duration, std::size_t index, std::size_t count);

// The string-table key for an estimate, and the whole minutes it is formatted with, if any.
struct TimeRemainingText {
  std::string key;
  std::optional<std::int64_t> minutes;
  bool operator==(const TimeRemainingText&) const = default;
};
TimeRemainingText timeRemainingText(double seconds);

}  // namespace lensbrook
