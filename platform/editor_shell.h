// What the editor's start-up and information commands need of the desktop.
#pragma once

#include "platform/progress_window.h"

namespace lensbrook {

class AboutPanelLoader {
 public:
  virtual ~AboutPanelLoader() = default;
  // Loads the about panel ("AboutPanel.nib"); returns it, owned by the loader for the rest of the
  // process, or nullptr when it cannot be loaded.
  virtual Window* loadAboutPanel() = 0;
};

class HelpViewer {
 public:
  virtual ~HelpViewer() = default;
  // Opens the editor's help; a failure to open it goes unreported.
  virtual void showHelp() = 0;
};

}  // namespace lensbrook
