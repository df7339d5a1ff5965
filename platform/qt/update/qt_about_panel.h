// The about panel, from the Designer form AboutPanel.ui.
#pragma once

#include <memory>
#include <string>

#include <QDialog>

#include "platform/editor_shell.h"

namespace lensbrook {

class QtAboutPanel : public Window {
 public:
  explicit QtAboutPanel(const std::string& version);
  void center() override;
  void makeKeyAndOrderFront() override;
  QDialog& widget() { return dialog_; }

 private:
  QDialog dialog_;
};

class QtAboutPanelLoader : public AboutPanelLoader {
 public:
  // `version` is shown in the panel.
  explicit QtAboutPanelLoader(std::string version);
  // nullptr when there is no QApplication to show a window.
  Window* loadAboutPanel() override;

 private:
  std::string version_;
  std::unique_ptr<QtAboutPanel> panel_;
};

}  // namespace lensbrook
