// Notices that controls post about what the user does to them.
#pragma once

#include <functional>

#include "platform/form_controls.h"

namespace lensbrook {

enum class Notification {
  ControlTextDidChange,         // the user edited a text (never text set by the program)
  ComboBoxSelectionDidChange,   // the user picked an entry of a combo box's list
  PopUpButtonWillPopUp,         // the user is about to open a pop-up's menu (before it opens)
};

class NotificationCenter {
 public:
  using Observer = std::function<void(const Control* object)>;

  virtual ~NotificationCenter() = default;
  // Calls `observer` on the user-interface thread with the sending control, for every `name` posted by
  // any control, for the life of the center. Registrations are never removed.
  virtual void addObserver(Notification name, Observer observer) = 0;
};

}  // namespace lensbrook
