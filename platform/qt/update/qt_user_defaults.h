// UserDefaults in an INI file through QSettings, every value a text.
#pragma once

#include <QString>

#include "platform/user_defaults.h"

namespace lensbrook {

class QtUserDefaults : public UserDefaults {
 public:
  // The editor's settings file: lensBrook/lensBrook.conf in the user's configuration folder
  // ($XDG_CONFIG_HOME, or ~/.config).
  static QString standardPath();

  explicit QtUserDefaults(QString path = standardPath());

  std::optional<std::string> stringForKey(const std::string& key) override;
  void setString(const std::string& key, const std::string& value) override;

 private:
  QString path_;
};

}  // namespace lensbrook
