// Delivers the controls' notices to every observer, on the GUI thread.
#pragma once

#include <utility>
#include <vector>

#include "platform/notification_center.h"

namespace lensbrook {

class QtNotificationCenter : public NotificationCenter {
 public:
  void addObserver(Notification name, Observer observer) override;
  // Called by the control adaptors when the user acts on their widget.
  void post(Notification name, const Control* object) const;

 private:
  std::vector<std::pair<Notification, Observer>> observers_;
};

}  // namespace lensbrook
