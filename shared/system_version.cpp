#include "shared/system_version.h"

namespace lensbrook {

std::int32_t gSystemVersion = 0;

std::int32_t GetSystemVersion(SystemVersionSource& source) {
  if (gSystemVersion != 0) return gSystemVersion;
  gSystemVersion = source.querySystemVersion().value_or(0);
  return gSystemVersion;
}

bool passesSystemVersionGate(SystemVersionSource& source, Alerts& alerts, Application& application,
                             const StringTable& texts) {
  if (GetSystemVersion(source) > kLastRefusedSystemVersion) return true;
  Alert alert;
  alert.style = AlertStyle::Plain;
  alert.title = texts.text("MAC_OS_X_10_3_REQUIRED_TITLE");
  alert.message = texts.text("MAC_OS_X_10_3_REQUIRED_TEXT");
  alert.defaultButton = texts.text("QUIT");
  alerts.runAlert(alert);
  application.terminate();
  return false;
}

}  // namespace lensbrook
