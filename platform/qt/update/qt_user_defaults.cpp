#include "platform/qt/update/qt_user_defaults.h"

#include <QSettings>
#include <QStandardPaths>

namespace lensbrook {

QString QtUserDefaults::standardPath() {
  return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
         "/lensBrook/lensBrook.conf";
}

QtUserDefaults::QtUserDefaults(QString path) : path_(std::move(path)) {}

// A QSettings per call: one object must not be shared between threads, but several on the same
// file may be used at once, and each sees the others' writes.
std::optional<std::string> QtUserDefaults::stringForKey(const std::string& key) {
  QSettings settings(path_, QSettings::IniFormat);
  const QVariant value = settings.value(QString::fromStdString(key));
  if (!value.isValid()) return std::nullopt;
  // A hand-edited value with commas reads back as a list; it is still the text that was written.
  if (value.typeId() == QMetaType::QStringList) return value.toStringList().join(", ").toStdString();
  return value.toString().toStdString();
}

void QtUserDefaults::setString(const std::string& key, const std::string& value) {
  QSettings settings(path_, QSettings::IniFormat);
  settings.setValue(QString::fromStdString(key), QString::fromStdString(value));
  settings.sync();
}

}  // namespace lensbrook
