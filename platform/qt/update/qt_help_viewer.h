// The editor's help: an HTML page of the bundle, opened in the user's browser.
#pragma once

#include <QString>

#include "platform/editor_shell.h"

namespace lensbrook {

class QtHelpViewer : public HelpViewer {
 public:
  // `indexPage`: the help's first page, a local file.
  explicit QtHelpViewer(QString indexPage);
  void showHelp() override;

 private:
  QString indexPage_;
};

}  // namespace lensbrook
