// Alerts as QMessageBox, answering 1, 0 or -1 like the design's alert panels.
#pragma once

#include <memory>

#include <QMessageBox>

#include "platform/alerts.h"

namespace lensbrook {

// A message box built from `alert`: its title as the bold text, its message below, the buttons in
// the desktop's order, Escape and the window's close button giving `alert.answerWithoutChoice`.
// Texts are plain, never rich text. The caller chooses the modality and how to run it.
std::unique_ptr<QMessageBox> makeAlertBox(const Alert& alert, QWidget* parent = nullptr);

// The answer for the button that ended `box` (made by makeAlertBox): kAlertDefault,
// kAlertAlternate or kAlertOther; the alert's answerWithoutChoice when no button was clicked.
int alertAnswer(const QMessageBox& box, const Alert& alert);

// Application-modal alert panels. Safe to call from any thread: from another thread the alert is
// shown on the GUI thread and the caller waits for the answer.
class QtAlerts : public Alerts {
 public:
  int runAlert(const Alert& alert) override;
};

}  // namespace lensbrook
