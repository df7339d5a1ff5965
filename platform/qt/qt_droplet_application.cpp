#include "platform/qt/qt_droplet_application.h"

#include <QApplication>
#include <QIcon>

namespace lensbrook {

WindowSystemChoice chooseWindowSystem(const char* qtPlatform, bool xAnswers, bool waylandAnswers) {
  if (qtPlatform && *qtPlatform) {
    const std::string platform = qtPlatform;
    return {!platform.starts_with("offscreen") && !platform.starts_with("minimal"), nullptr};
  }
  if (xAnswers && waylandAnswers) return {true, nullptr};
  if (xAnswers) return {true, "xcb"};
  if (waylandAnswers) return {true, "wayland"};
  return {false, nullptr};
}

std::string dropletDisplayName(const std::string& bundlePath) {
  std::string name = bundlePath;
  while (name.size() > 1 && name.back() == '/') name.pop_back();
  name = name.substr(name.find_last_of('/') + 1);
  const std::string suffix = ".app";
  if (name.size() > suffix.size() && name.ends_with(suffix)) name.resize(name.size() - suffix.size());
  return name;
}

void setUpDropletApplication(const std::string& bundlePath) {
  QApplication::setApplicationDisplayName(QString::fromStdString(dropletDisplayName(bundlePath)));
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/lensBrooklet/lensBrooklet.svg")));
  QApplication::setQuitOnLastWindowClosed(false);
}

}  // namespace lensbrook
