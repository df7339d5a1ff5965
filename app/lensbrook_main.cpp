// The editor: loads the form, wires the controller to its Qt and POSIX providers, runs the event loop.
#include <QApplication>
#include <QTimer>

#include <memory>
#include <optional>
#include <string>

#include "lensBrook/droplet_writer.h"
#include "lensBrook/editor_startup.h"
#include "lensBrook/lens_brook_controller.h"
#include "lensBrook/update_check.h"
#include "platform/http/curl_http_fetch.h"
#include "platform/posix/bundle_location.h"
#include "platform/posix/desktop_registration.h"
#include "platform/posix/posix_file_system.h"
#include "platform/posix/posix_services.h"
#include "platform/qt/editor/editor_window.h"
#include "platform/qt/editor/qt_alert_sheets.h"
#include "platform/qt/editor/save_panel.h"
#include "platform/qt/qt_alerts.h"
#include "platform/qt/qt_desktop.h"
#include "platform/qt/update/gui_thread_alerts.h"
#include "platform/qt/update/qt_about_panel.h"
#include "platform/qt/update/qt_help_viewer.h"
#include "platform/qt/update/qt_user_defaults.h"
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

EditorBundleInfo loadBundleInfo(FileSystem& files, Log& log, const std::string& infoPlistPath) {
  const std::optional<std::string> bytes = files.readFile(infoPlistPath);
  std::optional<PropertyList> info = bytes ? parsePropertyList(*bytes) : std::nullopt;
  if (!info || !info->isDictionary()) log.write("Error: cannot read the bundle information " + infoPlistPath);
  return readEditorBundleInfo(info);
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

  // The update check outlives this function when a check is still under way as the editor quits,
  // so what it uses is shared with it.
  const EditorBundleInfo info = loadBundleInfo(files, log, location.infoPlistPath);
  auto defaults = std::make_shared<QtUserDefaults>();
  auto workspace = std::make_shared<QtWorkspace>();
  const UpdateChecker updates({std::make_shared<CurlHttpFetch>(), defaults, std::make_shared<GuiThreadAlerts>(),
                               std::make_shared<GuiThreadWorkspace>(workspace), texts, info.feedURL,
                               info.bundleVersion});
  QtHelpViewer help(QString::fromStdString(location.resourcesPath + "/help/index.html"));
  QtAboutPanelLoader aboutPanels(info.bundleVersion);
  EditorStartup startup({*defaults, sheets, *workspace, help, aboutPanels,
                         [&updates](bool notifyUser) { updates.detachCheck(notifyUser); }},
                        texts, info.siteURL);
  controller.updateChecker = &updates;
  controller.editorStartup = &startup;
  window.connectTo(controller);
  controller.awakeFromNib();
  if (application.isTerminating()) return 0;
  window.show();
  // Launching has finished once the event loop turns for the first time.
  QTimer::singleShot(0, &window, [&controller] { controller.applicationDidFinishLaunching(); });
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
