#include "platform/terminal/terminal_desktop.h"

namespace lensbrook {

bool TerminalWorkspace::openURL(const std::string& url) {
  bool isWebAddress = url.starts_with("http://") || url.starts_with("https://");
  if (isWebAddress) out_ << url << std::endl;
  return isWebAddress;
}

}  // namespace lensbrook
