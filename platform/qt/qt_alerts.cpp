#include "platform/qt/qt_alerts.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QThread>

namespace lensbrook {
namespace {

const char* const kAnswerProperty = "lensbrookAnswer";

// Plain and informational alerts show the program's own icon where it has one; the critical
// one carries a caution sign.
void setIcon(QMessageBox& box, AlertStyle style) {
  const QIcon own = QApplication::windowIcon();
  if (style == AlertStyle::Critical) box.setIcon(QMessageBox::Warning);
  else if (own.isNull()) box.setIcon(QMessageBox::Information);
  else box.setIconPixmap(own.pixmap(64, 64));
}

// The title reads as the headline above the message, as in the desktop's own dialogs, and the box
// is wide enough that a message of a few sentences is not a narrow column.
void setLook(QMessageBox& box) {
  if (auto* title = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))) {
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
  }
  if (auto* message = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_informativelabel")))
    message->setMinimumWidth(message->fontMetrics().averageCharWidth() * 50);
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
  setIcon(*box, alert.style);
  box->setWindowTitle(QGuiApplication::applicationDisplayName());
  box->setTextFormat(Qt::PlainText);
  box->setText(QString::fromStdString(alert.title));
  if (!alert.message.empty()) box->setInformativeText(QString::fromStdString(alert.message));
  setLook(*box);

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
