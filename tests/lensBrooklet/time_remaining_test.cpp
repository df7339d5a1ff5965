#include "lensBrooklet/time_remaining.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

using namespace lensbrook;

TEST(TimeRemainingTest, TextForEachRangeOfTheEstimate) {
  const struct {
    double seconds;
    TimeRemainingText text;
  } cases[] = {
      {700, {"TIME_REMAINING_X_MINUTES", 11}},
      {120, {"TIME_REMAINING_X_MINUTES", 2}},
      {119.9, {"TIME_REMAINING_MINUTE", std::nullopt}},
      {70.5, {"TIME_REMAINING_MINUTE", std::nullopt}},
      {70, {"TIME_REMAINING_MINUTE", std::nullopt}},
      {30.01, {"TIME_REMAINING_MINUTE", std::nullopt}},
      {30, {"TIME_REMAINING_30_SECONDS", std::nullopt}},
      {16, {"TIME_REMAINING_30_SECONDS", std::nullopt}},
      {10, {"TIME_REMAINING_10_SECONDS", std::nullopt}},
      {5.5, {"TIME_REMAINING_10_SECONDS", std::nullopt}},
      {5, {"TIME_REMAINING_5_SECONDS", std::nullopt}},
      {0, {"TIME_REMAINING_5_SECONDS", std::nullopt}},
      {1e300, {"TIME_REMAINING_X_MINUTES", 1000000000000000}},  // clamped, not undefined
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.seconds);
    EXPECT_EQ(timeRemainingText(c.seconds), c.text);
  }
}

TEST(TimeRemainingTest, ChangesOnlyAfterEvenIndexesFromTwelve) {
  const std::vector<std::size_t> changing = {12, 14, 16, 18};
  for (std::size_t index = 0; index < 20; ++index) {
    SCOPED_TRACE(index);
    EXPECT_EQ(updatesTimeRemainingAfter(index), std::count(changing.begin(), changing.end(), index) == 1);
  }
}

TEST(TimeRemainingTest, EstimateUsesOnlyThisItemOverItsPosition) {
  EXPECT_DOUBLE_EQ(timeRemainingEstimate(3.25, 12, 40), 700);  // 3.25 / 13 * 28 * 100
  EXPECT_NEAR(timeRemainingEstimate(0.26, 12, 20), 16, 1e-9);  // 0.02 * 8 * 100
  EXPECT_EQ(timeRemainingEstimate(0, 14, 20), 0);              // a skipped item
  EXPECT_DOUBLE_EQ(timeRemainingEstimate(2, 19, 20), 10);      // the last item counts itself
}

}  // namespace
