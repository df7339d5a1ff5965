// The real editor, wired as its main wires it, driven offscreen as a user would: typing into the
// form, clicking Save, naming the droplet in the save sheet.
#pragma once

#include <QFileDialog>
#include <QMessageBox>
#include <QString>

#include <functional>
#include <string>

#include "lensBrook/droplet_writer.h"
#include "lensBrook/lens_brook_controller.h"
#include "platform/posix/desktop_registration.h"
#include "platform/posix/posix_file_system.h"
#include "platform/posix/posix_services.h"
#include "platform/qt/editor/editor_window.h"
#include "platform/qt/editor/qt_alert_sheets.h"
#include "platform/qt/editor/save_panel.h"
#include "platform/qt/qt_alerts.h"
#include "platform/qt/qt_desktop.h"
#include "shared/string_table.h"

namespace lensbrook::endtoend {

// The editor bundle the build made, holding the droplet template and the editor's texts.
std::string builtEditorBundle();

class EditorSession {
 public:
  // `applicationsDir` receives the desktop entries of saved droplets.
  EditorSession(Log& log, const std::string& applicationsDir);

  EditorWindow& window() { return window_; }
  // Types `text` into the form's field `field`, as the user would.
  void type(const char* field, const QString& text);
  // Clicks the form's checkbox `box`.
  void click(const char* box);
  // Picks the entry at `position` of the file-type list.
  void chooseFileTypes(int position);

  // Clicks Save; when the save sheet opens, `answer` fills and ends it (see typeNameAndSave).
  // Returns false when no save sheet opened.
  bool save(const std::function<void(QFileDialog&)>& answer);
  // Types `name` (a name, or an absolute path) into the sheet and presses Return.
  static void typeNameAndSave(QFileDialog& dialog, const QString& folder, const QString& name);

  // The alert sheet on the editor window, if one is up.
  QMessageBox* alertSheet();

 private:
  PosixFileSystem files_;
  StringTable texts_;
  EditorWindow window_;
  QtAlerts alerts_;
  QtAlertSheets sheets_{&window_};
  QtSavePanel savePanel_{&window_};
  QtApplication application_;
  ProvidedSystemVersion systemVersion_;
  PosixDesktopRegistration registration_;
  DropletWriter writer_;
  lensBrookController controller_;
};

}  // namespace lensbrook::endtoend
