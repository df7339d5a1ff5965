// The editor: loads the form, wires the controller to its Qt and POSIX providers, runs the event loop.
#include <QApplication>

#include <optional>
#include <string>

#include "lensBrook/droplet_writer.h"
#include "lensBrook/lens_brook_controller.h"
#include "platform/posix/bundle_location.h"
#include "platform/posix/desktop_registration.h"
#include "platform/posix/posix_file_system.h"
#include "platform/posix/posix_services.h"
#include "platform/qt/editor/editor_window.h"
#include "platform/qt/editor/qt_alert_sheets.h"
#include "platform/qt/editor/save_panel.h"
#include "platform/qt/qt_alerts.h"
#include "platform/qt/qt_desktop.h"
#include "shared/property_list.h"
#include "shared/string_table.h"

namespace lensbrook {
namespace {

StringTable loadTexts(FileSystem& files, Log& log, const std::string& resourcesPath) {
  const std::string path = resourcesPath + "/en.lproj/lensBrook.strings";
  const std::optional<std::string> bytes = files.readFile(path);
  std::optional<PropertyList> table = bytes ? parsePropertyList(*bytes) : std::nullopt;
  if (!table || !table->isDictionary()) log.write("Error: cannot read the string table " + path);
  return StringTable(table);
}

int runEditor(QApplication& qtApplication) {
  SyslogLog log("lensBrook");
  PosixFileSystem files;
  const std::optional<std::string> executable = runningExecutablePath();
  if (!executable) log.write("Error: cannot find the editor's own bundle");
  const BundleLocation location = bundleOfExecutable(executable.value_or(""));

  EditorWindow window;
  QtAlerts alerts;
  QtAlertSheets sheets(&window);
  QtSavePanel savePanel(&window);
  QtApplication application;
  ProvidedSystemVersion systemVersion;
  const StringTable texts = loadTexts(files, log, location.resourcesPath);
  PosixDesktopRegistration registration(files, log, userApplicationsDir());
  DropletWriter writer({files, log, sheets, registration}, location.resourcesPath + "/lens Brooklet.app",
                       texts);
  lensBrookController controller(
      EditorPlatform{window.window(), alerts, sheets, savePanel, window.notifications(), application,
                     systemVersion, log},
      EditorBundle{texts});
  controller.dropletWriter = &writer;
  window.connectTo(controller);
  controller.awakeFromNib();
  if (application.isTerminating()) return 0;
  window.show();
  return qtApplication.exec();
}

}  // namespace
}  // namespace lensbrook

int main(int argc, char** argv) {
  QApplication qtApplication(argc, argv);
  QApplication::setApplicationName("lensBrook");
  QApplication::setApplicationDisplayName("lensBrook");
  return lensbrook::runEditor(qtApplication);
}
