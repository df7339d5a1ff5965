// Modal alerts with up to three buttons.
#pragma once

#include <string>

namespace lensbrook {

enum class AlertStyle { Plain, Informational, Critical };

// Answers an alert gives: the button pressed.
constexpr int kAlertDefault = 1;
constexpr int kAlertAlternate = 0;
constexpr int kAlertOther = -1;

struct Alert {
  AlertStyle style = AlertStyle::Plain;
  std::string title;
  std::string message;           // shown as it stands, never used as a format
  std::string defaultButton;     // always shown
  std::string alternateButton;   // empty: no such button
  std::string otherButton;       // empty: no such button
  // The answer taken when the user gives none (Escape, closing the window, end of input).
  // Always a button that exists.
  int answerWithoutChoice = kAlertDefault;
};

class Alerts {
 public:
  virtual ~Alerts() = default;
  // Shows `alert` and blocks until it is answered; returns kAlertDefault, kAlertAlternate or
  // kAlertOther. Call from the thread that owns the user interface.
  virtual int runAlert(const Alert& alert) = 0;
};

}  // namespace lensbrook
