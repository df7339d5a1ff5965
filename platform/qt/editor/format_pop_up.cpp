#include "platform/qt/editor/format_pop_up.h"

#include <QKeyEvent>

namespace lensbrook {

void FormatPopUp::showPopup() {
  emit willPopUp();
  QComboBox::showPopup();
}

void FormatPopUp::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
      emit willPopUp();
      break;
    default:
      // Typing a letter jumps to the entry it begins.
      if (!event->text().trimmed().isEmpty()) emit willPopUp();
      break;
  }
  QComboBox::keyPressEvent(event);
}

void FormatPopUp::wheelEvent(QWheelEvent* event) {
  emit willPopUp();
  QComboBox::wheelEvent(event);
}

}  // namespace lensbrook
