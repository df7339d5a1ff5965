// Whether the window systems named in the environment answer, without their client libraries:
// Qt aborts the process when the display it is pointed at is gone, so this is asked first.
#pragma once

#include <string>

namespace lensbrook {

// Whether the X display `display` (DISPLAY's form, "[host]:N[.S]") answers on its local socket in
// `socketFolder` or the abstract socket of the same name. A display on another host counts as
// answering: no network connection is made at start-up. Empty or malformed: false.
bool xDisplayAnswers(const std::string& display,
                     const std::string& socketFolder = "/tmp/.X11-unix");

// Whether the Wayland display `display` (WAYLAND_DISPLAY's form: a socket name in `runtimeFolder`,
// or an absolute path) answers. Empty, or a name with no runtime folder: false.
bool waylandDisplayAnswers(const std::string& display, const std::string& runtimeFolder);

}  // namespace lensbrook
