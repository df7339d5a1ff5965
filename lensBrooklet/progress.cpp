// What the progress window shows before the batch, at the start of each item and after it.
#include "lensBrooklet/lens_brook_engine.h"
#include "lensBrooklet/path_names.h"
#include "shared/path_text.h"
#include "lensBrooklet/time_remaining.h"

namespace lensbrook {

void lensBrookEngine::showProgressWindow(const std::vector<std::string>& items) {
  const auto count = static_cast<std::uint64_t>(items.size());
  descriptionText->setStringValue(bundle_.texts.format("PROCESSING_X_TIMES", {count}));
  // With nothing to process there is no item to name.
  currentFile->setStringValue(items.empty() ? "" : bundle_.texts.format("ITEM_X", {lastPathComponent(items.front())}));
  timeRemaining->setStringValue(bundle_.texts.text("TIME_REMAINING_CALCULATING"));
  progressBar->setMaxValue(static_cast<double>(items.size()));
  progressBar->setMinValue(0);
  progressWindow->center();
  progressWindow->makeKeyAndOrderFront();
}

void lensBrookEngine::showItemStart(std::size_t index, const std::vector<std::string>& items) {
  progressBar->incrementBy(1);
  const auto left = static_cast<std::uint64_t>(items.size() - index);
  descriptionText->setStringValue(bundle_.texts.format("PROCESSING_X_TIMES", {left}));
  currentFile->setStringValue(bundle_.texts.format("ITEM_X", {lastPathComponent(items[index])}));
}

void lensBrookEngine::updateTimeRemaining(std::size_t index, std::size_t count, double duration) {
  if (!updatesTimeRemainingAfter(index)) return;
  const TimeRemainingText choice = timeRemainingText(timeRemainingEstimate(duration, index, count));
  timeRemaining->setStringValue(choice.minutes ? bundle_.texts.format(choice.key, {*choice.minutes})
                                               : bundle_.texts.text(choice.key));
}

}  // namespace lensbrook
