// The droplet's progress window, as the engine drives it.
#pragma once

#include <string>

namespace lensbrook {

class Window {
 public:
  virtual ~Window() = default;
  virtual void center() = 0;
  // Shows the window, makes it the key window and brings it to the front.
  virtual void makeKeyAndOrderFront() = 0;
};

class ProgressBar {
 public:
  virtual ~ProgressBar() = default;
  virtual void setMaxValue(double value) = 0;
  virtual void setMinValue(double value) = 0;
  virtual void incrementBy(double delta) = 0;
};

class TextLabel {
 public:
  virtual ~TextLabel() = default;
  virtual void setStringValue(const std::string& text) = 0;
};

// The window's parts, owned by the interface that loaded them; null until loaded.
struct ProgressWindowOutlets {
  Window* progressWindow = nullptr;
  ProgressBar* progressBar = nullptr;
  TextLabel* descriptionText = nullptr;
  TextLabel* currentFile = nullptr;
  TextLabel* timeRemaining = nullptr;
};

class InterfaceLoader {
 public:
  virtual ~InterfaceLoader() = default;
  // Loads the progress window ("MainMenu.nib") and fills all five of `owner`'s outlets. Returns
  // false, leaving `owner` as it was, when it cannot. The parts live as long as the loader.
  virtual bool loadMainMenu(ProgressWindowOutlets& owner) = 0;
};

}  // namespace lensbrook
