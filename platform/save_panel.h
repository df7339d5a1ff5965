// The save sheet in which the user names a new droplet.
#pragma once

#include <functional>
#include <string>

namespace lensbrook {

// Return codes of a save sheet.
constexpr int kSavePanelOK = 1;
constexpr int kSavePanelCancel = 0;

class SavePanel {
 public:
  // Receives kSavePanelOK and the chosen absolute path, or kSavePanelCancel and an empty path.
  using DidEnd = std::function<void(int returnCode, const std::string& filename)>;

  virtual ~SavePanel() = default;
  // Opens a save sheet on the editor window, offering `initialName`, and returns at once. A confirmed
  // name always ends in "." + `requiredType` (added when the user leaves it out). `didEnd` runs once on
  // the user-interface thread when the sheet ends.
  virtual void beginSaveSheet(const std::string& initialName, const std::string& requiredType,
                              DidEnd didEnd) = 0;
};

}  // namespace lensbrook
