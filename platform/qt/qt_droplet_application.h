// What makes a running QApplication this droplet: its name, its icon, how it ends.
#pragma once

#include <string>

namespace lensbrook {

// How the droplet shows itself: in windows, or in the terminal it was started from.
struct WindowSystemChoice {
  bool windows = false;
  // The Qt platform this process must use, or null to leave the choice to Qt. Qt aborts when the
  // window system it tries is gone, so with only one of X and Wayland answering it is named.
  const char* qtPlatform = nullptr;
};

// From the environment's QT_QPA_PLATFORM (null or empty: unset) and whether the displays named by
// DISPLAY and WAYLAND_DISPLAY answer (unset: they do not). Qt's invisible platforms (offscreen,
// minimal) do not count: nobody could answer an alert there. A platform the user names is kept.
WindowSystemChoice chooseWindowSystem(const char* qtPlatform, bool xAnswers, bool waylandAnswers);

// The droplet's name as the user sees it: its bundle folder's name without ".app".
std::string dropletDisplayName(const std::string& bundlePath);

// Names the application after the droplet at `bundlePath` (window titles, alerts) and gives it the
// droplet's icon. It quits only when the engine asks: closing an alert, the last window up before
// the progress window shows, must not end a batch.
void setUpDropletApplication(const std::string& bundlePath);

}  // namespace lensbrook
