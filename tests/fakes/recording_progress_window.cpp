#include "tests/fakes/recording_progress_window.h"

namespace lensbrook::fakes {
namespace {

std::string number(double value) {
  std::string text = std::to_string(value);
  text.erase(text.find_last_not_of('0') + 1);
  if (text.ends_with('.')) text.pop_back();
  return text;
}

}  // namespace

void RecordingWindow::center() { owner_.note("progressWindow center"); }
void RecordingWindow::makeKeyAndOrderFront() { owner_.note("progressWindow makeKeyAndOrderFront"); }

void RecordingProgressBar::setMaxValue(double v) {
  maxValue = v;
  owner_.note("progressBar setMaxValue " + number(v));
}

void RecordingProgressBar::setMinValue(double v) {
  minValue = v;
  owner_.note("progressBar setMinValue " + number(v));
}

void RecordingProgressBar::incrementBy(double delta) {
  value += delta;
  owner_.note("progressBar incrementBy " + number(delta));
}

void RecordingTextLabel::setStringValue(const std::string& value) {
  text = value;
  owner_.note(name_ + " " + value);
}

bool RecordingInterfaceLoader::loadMainMenu(ProgressWindowOutlets& owner) {
  ++loadCalls;
  record(std::string("loadMainMenu") + (loads ? "" : " failed"));
  if (!loads) return false;
  owner.progressWindow = &progressWindow;
  owner.progressBar = &progressBar;
  owner.descriptionText = &descriptionText;
  owner.currentFile = &currentFile;
  owner.timeRemaining = &timeRemaining;
  return true;
}

}  // namespace lensbrook::fakes
