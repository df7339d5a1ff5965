#include "platform/qt/editor/qt_notification_center.h"

namespace lensbrook {

void QtNotificationCenter::addObserver(Notification name, Observer observer) {
  observers_.emplace_back(name, std::move(observer));
}

void QtNotificationCenter::post(Notification name, const Control* object) const {
  for (const auto& [observed, observer] : observers_) {
    if (observed == name) observer(object);
  }
}

}  // namespace lensbrook
