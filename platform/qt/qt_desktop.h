// The desktop services both programs use, on Qt.
#pragma once

#include <cstdint>

#include <Qt>

#include "platform/desktop.h"

namespace lensbrook {

// Quits the running QApplication, whatever its windows say. The request is queued, so it also
// holds when made before the event loop runs: the loop then ends at its first turn.
class QtApplication : public Application {
 public:
  void terminate() override;
  bool isTerminating() const override;

 private:
  bool terminating_ = false;
};

// Alt is the Option key. Qt cannot tell the two Alt keys apart: Alt counts as the left Option
// key, and AltGr (the right Alt on many layouts) as the right one.
std::uint32_t optionKeyMask(Qt::KeyboardModifiers modifiers);

class QtKeyboard : public Keyboard {
 public:
  std::uint32_t currentKeyModifiers() override;
};

// True for the addresses the programs hand to a browser: http and https with a host.
bool isWebAddress(const std::string& url);

class QtWorkspace : public Workspace {
 public:
  bool openURL(const std::string& url) override;
};

}  // namespace lensbrook
