#include "platform/qt/qt_droplet_application.h"

#include <QApplication>
#include <QIcon>

namespace lensbrook {

bool canShowWindows(const char* qtPlatform, const char* display, const char* waylandDisplay) {
  const auto isSet = [](const char* value) { return value && *value; };
  if (isSet(qtPlatform)) {
    const std::string platform = qtPlatform;
    return !platform.starts_with("offscreen") && !platform.starts_with("minimal");
  }
  return isSet(display) || isSet(waylandDisplay);
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
