// Turns a confirmed save sheet into a droplet: a copy of the template with the recipe written in.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/alert_sheets.h"
#include "platform/desktop_registration.h"
#include "platform/file_system.h"
#include "platform/save_panel.h"
#include "shared/log.h"
#include "shared/property_list.h"
#include "shared/string_table.h"

namespace lensbrook {

// Where the two settings files go inside a droplet, relative to its bundle.
inline constexpr const char* kDropletAttributesFile = "/Contents/Resources/dropletAttributes.plist";
inline constexpr const char* kDropletTypesFile = "/Contents/Resources/dropletTypes.plist";
// What makes a folder runnable as a droplet.
inline constexpr const char* kDropletEngineFile = "/Contents/MacOS/lensBrooklet";

// The services the writer runs on. All are owned by the caller and outlive the writer.
struct DropletWriterPlatform {
  FileSystem& files;
  Log& log;
  AlertSheets& sheets;
  DesktopRegistration& registration;
};

enum class SaveOutcome {
  Cancelled,  // the sheet was not confirmed; nothing was touched
  Saved,      // a runnable droplet holds the recipe; registering it with the desktop was tried
  Failed,     // no runnable droplet holds the recipe; logged and the user was told
};

class DropletWriter {
 public:
  // `compiledDroplet` is the template bundle, never written to; `texts` is the editor's table.
  DropletWriter(DropletWriterPlatform platform, std::string compiledDroplet, const StringTable& texts);
  DropletWriter(const DropletWriter&) = delete;
  DropletWriter& operator=(const DropletWriter&) = delete;

  // The end of the save sheet: kSavePanelOK with the chosen path, or anything else for cancelled.
  // A null container was never created, and fails to write. The path is used as it stands.
  SaveOutcome didEndSaveSheetReturnCodeContextInfo(int returnCode, const std::string& chosenPath,
                                                   const std::vector<std::string>* attributes,
                                                   const std::map<std::string, PropertyList>* fileAttributes);

 private:
  void reportFailure(const std::string& chosenPath);

  DropletWriterPlatform platform_;
  std::string compiledDroplet_;
  const StringTable& texts_;
};

}  // namespace lensbrook
