// Small services of the desktop that both programs use.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace lensbrook {

class Application {
 public:
  virtual ~Application() = default;
  // Asks the application to quit once the current operation returns. The caller returns at once
  // and does nothing more.
  virtual void terminate() = 0;
  // True once terminate() was called.
  virtual bool isTerminating() const = 0;
};

// Modifier bits as the droplet's logic reads them.
constexpr std::uint32_t kLeftOptionKeyMask = 0x0800;
constexpr std::uint32_t kRightOptionKeyMask = 0x4000;

class Keyboard {
 public:
  virtual ~Keyboard() = default;
  // The modifier keys held now, as kLeftOptionKeyMask / kRightOptionKeyMask bits.
  virtual std::uint32_t currentKeyModifiers() = 0;
};

class Workspace {
 public:
  virtual ~Workspace() = default;
  // Hands `url` to the user's browser. Only http and https addresses are opened; returns whether
  // the request was handed on.
  virtual bool openURL(const std::string& url) = 0;
};

class SystemVersionSource {
 public:
  virtual ~SystemVersionSource() = default;
  // The system version as hexadecimal digits (0x1040 for 10.4.0), or nullopt when the query fails.
  virtual std::optional<std::int32_t> querySystemVersion() = 0;
};

}  // namespace lensbrook
