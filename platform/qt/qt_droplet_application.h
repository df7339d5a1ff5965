// What makes a running QApplication this droplet: its name, its icon, how it ends.
#pragma once

#include <string>

namespace lensbrook {

// Whether the droplet can show windows someone sees, from the environment's QT_QPA_PLATFORM,
// DISPLAY and WAYLAND_DISPLAY (null or empty: unset). Qt's invisible platforms (offscreen,
// minimal) do not count: nobody could answer an alert there.
bool canShowWindows(const char* qtPlatform, const char* display, const char* waylandDisplay);

// The droplet's name as the user sees it: its bundle folder's name without ".app".
std::string dropletDisplayName(const std::string& bundlePath);

// Names the application after the droplet at `bundlePath` (window titles, alerts) and gives it the
// droplet's icon. It quits only when the engine asks: closing an alert, the last window up before
// the progress window shows, must not end a batch.
void setUpDropletApplication(const std::string& bundlePath);

}  // namespace lensbrook
