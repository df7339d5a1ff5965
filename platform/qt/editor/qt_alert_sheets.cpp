#include "platform/qt/editor/qt_alert_sheets.h"

#include <QMessageBox>

#include "platform/qt/qt_alerts.h"

namespace lensbrook {

void QtAlertSheets::beginAlertSheet(const Alert& alert, DidEnd didEnd) {
  QMessageBox* box = makeAlertBox(alert, window_).release();
  box->setWindowModality(Qt::WindowModal);
  QObject::connect(box, &QMessageBox::finished, box, [box, alert, didEnd = std::move(didEnd)] {
    box->deleteLater();
    if (didEnd) didEnd(alertAnswer(*box, alert));
  });
  box->open();
}

}  // namespace lensbrook
