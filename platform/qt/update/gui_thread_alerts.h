// Handing the update check's work with the desktop to the GUI thread: its alerts, shown as
// modeless message boxes, and the pages it opens.
#pragma once

#include <memory>

#include "platform/desktop.h"
#include "platform/thread_alerts.h"

namespace lensbrook {

// The box is modeless, so the editor window stays usable while a background check waits for its
// answer. Without a QApplication every alert answers kAlertNotAnswered.
class GuiThreadAlerts : public ThreadAlerts {
 public:
  int runAlertAndWait(const Alert& alert) override;
};

// Opens pages through `workspace` on the GUI thread, for callers on any thread; the caller waits
// until the page has been handed on. Without a QApplication nothing is opened.
class GuiThreadWorkspace : public Workspace {
 public:
  explicit GuiThreadWorkspace(std::shared_ptr<Workspace> workspace);
  bool openURL(const std::string& url) override;

 private:
  std::shared_ptr<Workspace> workspace_;
};

}  // namespace lensbrook
