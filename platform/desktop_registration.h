// Making a saved droplet known to the desktop, so that "Open With" offers it for images.
#pragma once

#include <string>

namespace lensbrook {

class DesktopRegistration {
 public:
  virtual ~DesktopRegistration() = default;
  // Registers (or refreshes) the droplet bundle at `bundlePath`, an absolute path. Returns false,
  // having logged one line and left no partial entry, when it cannot.
  virtual bool registerDroplet(const std::string& bundlePath) = 0;
};

}  // namespace lensbrook
