// Alerts raised by a background thread, such as the update check's.
#pragma once

#include "platform/alerts.h"

namespace lensbrook {

// The answer to an alert that was never answered because the interface went away first, as when
// the editor quits with the alert still up. It is no button, so nothing follows from it.
constexpr int kAlertNotAnswered = 2;

class ThreadAlerts {
 public:
  virtual ~ThreadAlerts() = default;
  // Shows `alert` through the user-interface thread, whose windows stay usable meanwhile, and
  // blocks the calling thread until it is answered. Returns kAlertDefault, kAlertAlternate or
  // kAlertOther, or kAlertNotAnswered when the interface goes away first. Safe from any thread.
  virtual int runAlertAndWait(const Alert& alert) = 0;
};

}  // namespace lensbrook
