// Alert sheets as window-modal message boxes on the editor window.
#pragma once

#include <QWidget>

#include "platform/alert_sheets.h"

namespace lensbrook {

class QtAlertSheets : public AlertSheets {
 public:
  // `window` is the editor window; it outlives every sheet.
  explicit QtAlertSheets(QWidget* window) : window_(window) {}

  void beginAlertSheet(const Alert& alert, DidEnd didEnd) override;

 private:
  QWidget* window_;
};

}  // namespace lensbrook
