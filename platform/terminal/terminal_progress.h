// The progress window of a program without a display: one status line on the terminal.
#pragma once

#include <memory>
#include <ostream>

#include "platform/progress_window.h"

namespace lensbrook {

// Loads a "window" whose parts make one line: "[started/count] description - file - time".
// On a terminal (`rewriteInPlace`) the line is redrawn in place whenever a part changes once the
// window is shown, cut to `columns` characters (0: no limit) so that it never wraps; otherwise
// one line is written per item, when the item's name is set.
class TerminalInterfaceLoader : public InterfaceLoader {
 public:
  TerminalInterfaceLoader(std::ostream& out, bool rewriteInPlace, std::size_t columns = 0);
  ~TerminalInterfaceLoader() override;  // ends a line left open
  TerminalInterfaceLoader(const TerminalInterfaceLoader&) = delete;
  TerminalInterfaceLoader& operator=(const TerminalInterfaceLoader&) = delete;

  bool loadMainMenu(ProgressWindowOutlets& owner) override;

  struct StatusLine;

 private:
  std::unique_ptr<StatusLine> line_;
};

}  // namespace lensbrook
