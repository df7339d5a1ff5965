// The editor's controller: owns the form's logic (set-up, automatic ticking, the metadata rule, reset,
// the checks of a save and the build of the recipe) and hands a valid recipe to the save sheet.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "lensBrook/droplet_form.h"
#include "lensBrook/droplet_writer.h"
#include "lensBrook/editor_startup.h"
#include "lensBrook/update_check.h"
#include "platform/alert_sheets.h"
#include "platform/alerts.h"
#include "platform/desktop.h"
#include "platform/form_controls.h"
#include "platform/notification_center.h"
#include "platform/save_panel.h"
#include "shared/log.h"
#include "shared/property_list.h"
#include "shared/string_table.h"

namespace lensbrook {

// The services the editor runs on. All are owned by the caller and outlive the controller; all are
// used on the user-interface thread.
struct EditorPlatform {
  Window& window;                  // the editor window, which holds the form
  Alerts& alerts;                  // application-modal panels
  AlertSheets& sheets;             // sheets on the editor window
  SavePanel& savePanel;
  NotificationCenter& notifications;
  Application& application;
  SystemVersionSource& systemVersion;
  Log& log;
};

// What the editor knows of its own bundle.
struct EditorBundle {
  StringTable texts;  // the "lensBrook" table
};

class lensBrookController {
 public:
  lensBrookController(EditorPlatform platform, EditorBundle bundle);
  lensBrookController(const lensBrookController&) = delete;
  lensBrookController& operator=(const lensBrookController&) = delete;

  // The form. The window loader sets fields 2 to 30 before awakeFromNib(); aboutPanel is set when the
  // about panel is first loaded. The controller never creates or frees a control.
  Window* aboutPanel = nullptr;
  ComboBox* fileTypes = nullptr;
  TextField* rotateImage = nullptr;
  TextField* resampleImageMax = nullptr;
  TextField* artist = nullptr;
  TextField* copyright = nullptr;
  TextField* description = nullptr;
  TextField* resampleImageHeight = nullptr;
  TextField* resampleImageWidth = nullptr;
  TextField* padImageHeight = nullptr;
  TextField* padImageWidth = nullptr;
  TextField* cropImageHeight = nullptr;
  TextField* cropImageWidth = nullptr;
  PopUpButton* imageFormat = nullptr;
  RadioMatrix* imageQuality = nullptr;
  CheckBox* modifyFileTypes = nullptr;
  CheckBox* modifyRotateImage = nullptr;
  CheckBox* modifyResampleImageMax = nullptr;
  CheckBox* modifyArtist = nullptr;
  CheckBox* modifyCopyright = nullptr;
  CheckBox* modifyDescription = nullptr;
  CheckBox* modifyResampleImage = nullptr;
  CheckBox* modifyPadImage = nullptr;
  CheckBox* modifyCropImage = nullptr;
  CheckBox* modifyImageFormat = nullptr;
  CheckBox* modifyImageQuality = nullptr;
  CheckBox* flipVertically = nullptr;
  CheckBox* flipHorizontally = nullptr;
  CheckBox* addIcon = nullptr;
  CheckBox* createBackupImage = nullptr;
  // The recipe of the last save that passed the checks. Missing until awakeFromNib() creates them.
  std::optional<std::vector<std::string>> theAttributes;
  std::optional<std::map<std::string, PropertyList>> theFileAttributes;
  // Makes the droplet when the save sheet ends; set by whoever wires the editor, before any save.
  DropletWriter* dropletWriter = nullptr;
  // The update check and the start-up shell that the commands below forward to; set by whoever wires
  // the editor, before launching finishes.
  const UpdateChecker* updateChecker = nullptr;
  EditorStartup* editorStartup = nullptr;

  // Once, after the window and every control exist: centre, version gate, observers, containers,
  // file types back to "every type".
  void awakeFromNib();
  // The editor window is closing: the application ends, unsaved choices and all.
  void windowWillClose();
  void resetToDefaults();
  // The user picked an output format (or toggled the box that asks for one).
  void imageFormatDidChange();
  void imageQualityDidChange();
  // One of the observed notifications arrived from `object`; ticks the box that belongs to it.
  void controlDidChange(const Control* object);

  // The save command: checks the form, builds the recipe and opens the save sheet.
  void saveDroplet();
  bool isValidDroplet() const;
  void conflictingSheetDidEndReturnCodeContextInfo(int returnCode);
  void didEndSaveSheetReturnCodeContextInfo(int returnCode, const std::string& filename);

  // The update check: the command starts one on a thread of its own and always answers;
  // checkForUpdatesAndNotify runs one on the calling thread, which must not be the UI thread.
  void checkForUpdates();
  void checkForUpdatesAndNotify(bool notifyUser);
  // Launching has finished: the first-run sheet, or the silent update check.
  void applicationDidFinishLaunching();
  void sheetDidEndReturnCodeContextInfo(int returnCode);
  void showAboutPanel();
  void openWebSite();
  void openKnownIssues();
  void showHelp();

  // The form's values as they stand.
  DropletForm formValues() const;

 private:
  void showFormAlert(const char* titleKey, const char* messageKey, const char* alternateKey,
                     AlertSheets::DidEnd didEnd);
  void setMetadataGroupEnabled(bool enabled);

  EditorPlatform platform_;
  EditorBundle bundle_;
};

}  // namespace lensbrook
