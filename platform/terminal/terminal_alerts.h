// Alerts for a program without a display: asked and answered on the terminal.
#pragma once

#include <istream>
#include <ostream>

#include "platform/alerts.h"

namespace lensbrook {

// Prints the title, the message and the buttons, numbered from 1 in the order default,
// alternate, other, and reads one line: Enter takes the default button, a number or a button's
// title (any case) takes that button. End of input, an unreadable stream or an answer that names
// no button takes `answerWithoutChoice`, so a run nobody answers never goes further than asked.
class TerminalAlerts : public Alerts {
 public:
  // `echoReply`: repeat the line read, for input that the terminal does not show (a pipe).
  TerminalAlerts(std::istream& in, std::ostream& out, bool echoReply = false)
      : in_(in), out_(out), echoReply_(echoReply) {}
  int runAlert(const Alert& alert) override;

 private:
  std::istream& in_;
  std::ostream& out_;
  bool echoReply_;
};

}  // namespace lensbrook
