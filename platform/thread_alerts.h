// Alerts raised by a background thread, such as the update check's.
#pragma once

#include "platform/alerts.h"

namespace lensbrook {

class ThreadAlerts {
 public:
  virtual ~ThreadAlerts() = default;
  // Shows `alert` through the user-interface thread, whose windows stay usable meanwhile, and
  // blocks the calling thread until it is answered. Returns kAlertDefault, kAlertAlternate or
  // kAlertOther; alert.answerWithoutChoice when the interface goes away unanswered. Safe from any
  // thread.
  virtual int runAlertAndWait(const Alert& alert) = 0;
};

}  // namespace lensbrook
