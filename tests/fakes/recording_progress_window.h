// A progress window loader whose parts record what they are told, in one list.
#pragma once

#include <string>
#include <utility>

#include "platform/progress_window.h"
#include "tests/fakes/call_journal.h"

namespace lensbrook::fakes {

class RecordingInterfaceLoader;

// Each part records into its loader as "<part> <call> <value>", e.g. "currentFile ITEM a.tif".
class RecordingWindow : public Window {
 public:
  explicit RecordingWindow(RecordingInterfaceLoader& owner) : owner_(owner) {}
  void center() override;
  void makeKeyAndOrderFront() override;

 private:
  RecordingInterfaceLoader& owner_;
};

class RecordingProgressBar : public ProgressBar {
 public:
  explicit RecordingProgressBar(RecordingInterfaceLoader& owner) : owner_(owner) {}
  double minValue = 0, maxValue = 100, value = 0;
  void setMaxValue(double v) override;
  void setMinValue(double v) override;
  void incrementBy(double delta) override;

 private:
  RecordingInterfaceLoader& owner_;
};

class RecordingTextLabel : public TextLabel {
 public:
  RecordingTextLabel(RecordingInterfaceLoader& owner, std::string name) : owner_(owner), name_(std::move(name)) {}
  std::string text;
  void setStringValue(const std::string& value) override;

 private:
  RecordingInterfaceLoader& owner_;
  std::string name_;
};

class RecordingInterfaceLoader : public InterfaceLoader, public Recorder {
 public:
  bool loads = true;  // what loadMainMenu answers
  int loadCalls = 0;

  RecordingWindow progressWindow{*this};
  RecordingProgressBar progressBar{*this};
  RecordingTextLabel descriptionText{*this, "descriptionText"};
  RecordingTextLabel currentFile{*this, "currentFile"};
  RecordingTextLabel timeRemaining{*this, "timeRemaining"};

  bool loadMainMenu(ProgressWindowOutlets& owner) override;

  // For the parts: one entry in calls (and the journal).
  void note(const std::string& call) { record(call); }
};

}  // namespace lensbrook::fakes
