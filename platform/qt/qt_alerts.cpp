#include "platform/qt/qt_alerts.h"

#include <QApplication>
#include <QPushButton>
#include <QThread>

namespace lensbrook {
namespace {

const char* const kAnswerProperty = "lensbrookAnswer";

QMessageBox::Icon iconFor(AlertStyle style) {
  // Plain and informational panels look alike on the desktop the design comes from; the critical
  // one carries a caution sign.
  return style == AlertStyle::Critical ? QMessageBox::Warning : QMessageBox::Information;
}

QPushButton* addButton(QMessageBox& box, const std::string& text, QMessageBox::ButtonRole role,
                       int answer) {
  QPushButton* button = box.addButton(QString::fromStdString(text), role);
  button->setProperty(kAnswerProperty, answer);
  return button;
}

}  // namespace

std::unique_ptr<QMessageBox> makeAlertBox(const Alert& alert, QWidget* parent) {
  auto box = std::make_unique<QMessageBox>(parent);
  box->setIcon(iconFor(alert.style));
  box->setWindowTitle(QGuiApplication::applicationDisplayName());
  box->setTextFormat(Qt::PlainText);
  box->setText(QString::fromStdString(alert.title));
  if (!alert.message.empty()) box->setInformativeText(QString::fromStdString(alert.message));

  QPushButton* defaultButton =
      addButton(*box, alert.defaultButton, QMessageBox::AcceptRole, kAlertDefault);
  QPushButton* buttons[] = {defaultButton, nullptr, nullptr};
  if (!alert.alternateButton.empty())
    buttons[1] = addButton(*box, alert.alternateButton, QMessageBox::RejectRole, kAlertAlternate);
  if (!alert.otherButton.empty())
    buttons[2] = addButton(*box, alert.otherButton, QMessageBox::ActionRole, kAlertOther);
  box->setDefaultButton(defaultButton);

  // Escape and closing the window press the button of the answer without choice; it always
  // exists, but an alert built otherwise falls back to the default button.
  QPushButton* escape = defaultButton;
  if (alert.answerWithoutChoice == kAlertAlternate && buttons[1]) escape = buttons[1];
  if (alert.answerWithoutChoice == kAlertOther && buttons[2]) escape = buttons[2];
  box->setEscapeButton(escape);
  return box;
}

int alertAnswer(const QMessageBox& box, const Alert& alert) {
  const QAbstractButton* clicked = box.clickedButton();
  if (!clicked) return alert.answerWithoutChoice;
  return clicked->property(kAnswerProperty).toInt();
}

int QtAlerts::runAlert(const Alert& alert) {
  QCoreApplication* app = QCoreApplication::instance();
  if (app && QThread::currentThread() != app->thread()) {
    int answer = alert.answerWithoutChoice;
    QMetaObject::invokeMethod(
        app, [this, &alert] { return runAlert(alert); }, Qt::BlockingQueuedConnection, &answer);
    return answer;
  }
  std::unique_ptr<QMessageBox> box = makeAlertBox(alert);
  box->setWindowModality(Qt::ApplicationModal);
  box->exec();
  return alertAnswer(*box, alert);
}

}  // namespace lensbrook
