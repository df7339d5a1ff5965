// The save sheet of the editor: a window-modal file dialog whose confirmed name always carries the
// required extension, and which accepts an existing bundle of that type as a file to replace.
#pragma once

#include <QString>
#include <QWidget>

#include "platform/save_panel.h"

namespace lensbrook {

class QtSavePanel : public SavePanel {
 public:
  // `window` is the editor window the sheets attach to; it outlives the panel.
  explicit QtSavePanel(QWidget* window);

  void beginSaveSheet(const std::string& initialName, const std::string& requiredType,
                      DidEnd didEnd) override;

 private:
  QWidget* window_;
  QString lastDirectory_;  // where the previous confirmed save went, offered again
};

}  // namespace lensbrook
