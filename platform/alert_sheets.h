// Alerts attached to the editor window: window-modal, and answered later through a handler.
#pragma once

#include <functional>

#include "platform/alerts.h"

namespace lensbrook {

class AlertSheets {
 public:
  // Receives the button pressed: kAlertDefault, kAlertAlternate or kAlertOther.
  using DidEnd = std::function<void(int returnCode)>;

  virtual ~AlertSheets() = default;
  // Shows `alert` as a sheet on the editor window and returns at once; the window takes no other input
  // until the sheet ends. `didEnd`, when not empty, then runs once on the user-interface thread.
  virtual void beginAlertSheet(const Alert& alert, DidEnd didEnd) = 0;
};

}  // namespace lensbrook
