#include "platform/qt/qt_desktop.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QUrl>

namespace lensbrook {

void QtApplication::terminate() {
  terminating_ = true;
  // exit() rather than quit(): quit() first asks every window to close, and the droplet's
  // progress window refuses, as a batch cannot be stopped by the user.
  if (QCoreApplication* app = QCoreApplication::instance())
    QMetaObject::invokeMethod(app, [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
}

bool QtApplication::isTerminating() const { return terminating_; }

std::uint32_t optionKeyMask(Qt::KeyboardModifiers modifiers) {
  std::uint32_t mask = 0;
  if (modifiers & Qt::AltModifier) mask |= kLeftOptionKeyMask;
  if (modifiers & Qt::GroupSwitchModifier) mask |= kRightOptionKeyMask;
  return mask;
}

std::uint32_t QtKeyboard::currentKeyModifiers() {
  return optionKeyMask(QGuiApplication::queryKeyboardModifiers());
}

bool isWebAddress(const std::string& url) {
  const QUrl parsed(QString::fromStdString(url), QUrl::StrictMode);
  const QString scheme = parsed.scheme().toLower();
  return parsed.isValid() && (scheme == "http" || scheme == "https") && !parsed.host().isEmpty();
}

bool QtWorkspace::openURL(const std::string& url) {
  if (!isWebAddress(url)) return false;
  return QDesktopServices::openUrl(QUrl(QString::fromStdString(url), QUrl::StrictMode));
}

}  // namespace lensbrook
