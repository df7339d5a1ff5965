// The desktop services of a program without a display.
#pragma once

#include <ostream>

#include "platform/desktop.h"

namespace lensbrook {

// A terminal cannot report held keys: no Option key is ever down.
class TerminalKeyboard : public Keyboard {
 public:
  std::uint32_t currentKeyModifiers() override { return 0; }
};

// Prints a web address for the user to open, as no browser can be started for them.
class TerminalWorkspace : public Workspace {
 public:
  explicit TerminalWorkspace(std::ostream& out) : out_(out) {}
  bool openURL(const std::string& url) override;

 private:
  std::ostream& out_;
};

}  // namespace lensbrook
