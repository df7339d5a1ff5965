// The editor's per-user settings: texts under keys, kept across launches.
#pragma once

#include <optional>
#include <string>

namespace lensbrook {

class UserDefaults {
 public:
  virtual ~UserDefaults() = default;
  // The text stored under `key`, or nullopt when nothing is stored. Safe from any thread.
  virtual std::optional<std::string> stringForKey(const std::string& key) = 0;
  // Stores `value` under `key` for this and later launches; a failure to store goes unreported.
  // Safe from any thread.
  virtual void setString(const std::string& key, const std::string& value) = 0;
};

}  // namespace lensbrook
