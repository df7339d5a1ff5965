// ThreadAlerts on Qt: the alert is shown as a modeless message box by the GUI thread.
#pragma once

#include "platform/thread_alerts.h"

namespace lensbrook {

// The box is modeless, so the editor window stays usable while a background check waits for its
// answer. Without a QApplication every alert answers kAlertNotAnswered.
class GuiThreadAlerts : public ThreadAlerts {
 public:
  int runAlertAndWait(const Alert& alert) override;
};

}  // namespace lensbrook
