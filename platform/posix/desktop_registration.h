// Registers droplets as desktop entries in the user's applications folder, so that file managers
// offer them under "Open With" for images and launchers accept drops on them.
#pragma once

#include <string>

#include "platform/desktop_registration.h"
#include "platform/file_system.h"
#include "shared/log.h"

namespace lensbrook {

class PosixDesktopRegistration : public DesktopRegistration {
 public:
  // Entries go into `applicationsDir` (made when missing) and are written through `files`.
  PosixDesktopRegistration(FileSystem& files, Log& log, std::string applicationsDir);

  // One entry per bundle path, so saving onto a droplet again refreshes its entry.
  bool registerDroplet(const std::string& bundlePath) override;

 private:
  FileSystem& files_;
  Log& log_;
  std::string applicationsDir_;
};

// $XDG_DATA_HOME/applications, or ~/.local/share/applications when that is unset or not absolute;
// empty when neither variable gives a place.
std::string userApplicationsDir();

// The text of the desktop entry that starts the droplet at `bundlePath` on dropped files.
std::string dropletDesktopEntry(const std::string& bundlePath);

// The entry's file name, the same for the same bundle path.
std::string dropletDesktopEntryName(const std::string& bundlePath);

}  // namespace lensbrook
