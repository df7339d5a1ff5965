// The droplet's progress window, loaded from its Designer form.
#pragma once

#include <memory>

#include <QWidget>

#include "platform/progress_window.h"

class QProgressBar;

namespace lensbrook {

class ElidedLabel;

// The bar of the design: floating-point minimum, maximum and value (0, 100, 0 to start), shown
// on a QProgressBar in fine steps. The value shown is kept within the range.
class QtProgressBar : public ProgressBar {
 public:
  static constexpr int kSteps = 1000;
  explicit QtProgressBar(QProgressBar* bar);
  void setMaxValue(double value) override;
  void setMinValue(double value) override;
  void incrementBy(double delta) override;

 private:
  void refresh();
  QProgressBar* bar_;
  double min_ = 0;
  double max_ = 100;
  double value_ = 0;
};

class QtTextLabel : public TextLabel {
 public:
  explicit QtTextLabel(ElidedLabel* label) : label_(label) {}
  void setStringValue(const std::string& text) override;

 private:
  ElidedLabel* label_;
};

class QtWindow : public Window {
 public:
  explicit QtWindow(QWidget* window) : window_(window) {}
  // Centres the window on the screen it is on, in its laid-out size.
  void center() override;
  void makeKeyAndOrderFront() override;

 private:
  QWidget* window_;
};

// Loads "MainMenu" (resources/lensBrooklet/MainMenu.ui, compiled in) once and hands out its parts.
// Needs a QApplication and the GUI thread; without them loadMainMenu returns false.
class QtInterfaceLoader : public InterfaceLoader {
 public:
  QtInterfaceLoader();
  ~QtInterfaceLoader() override;
  QtInterfaceLoader(const QtInterfaceLoader&) = delete;
  QtInterfaceLoader& operator=(const QtInterfaceLoader&) = delete;

  bool loadMainMenu(ProgressWindowOutlets& owner) override;

  // The loaded window, or null before a successful load.
  QWidget* window() const;

 private:
  struct Parts;
  std::unique_ptr<Parts> parts_;
};

// Handles what is pending for the windows (painting, timers, the window manager's requests) but
// no user input, so nothing the user does can start work meanwhile. For waits on the GUI thread.
void processEventsExceptUserInput();

}  // namespace lensbrook
