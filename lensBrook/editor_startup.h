// The editor's outer shell: the first-run greeting or the automatic update check at launch, and the
// information commands (about panel, web pages, help).
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/alert_sheets.h"
#include "platform/desktop.h"
#include "platform/editor_shell.h"
#include "platform/progress_window.h"
#include "platform/user_defaults.h"
#include "shared/property_list.h"
#include "shared/string_table.h"

namespace lensbrook {

// What the editor reads from its bundle's Info.plist. A missing or non-text entry reads as "".
struct EditorBundleInfo {
  std::string bundleVersion;  // "CFBundleVersion"
  std::string feedURL;        // "LensBrookFeedURL": the whole address of the update feed
  std::string siteURL;        // "LensBrookSiteURL": the product site's root, pages below it
};

EditorBundleInfo readEditorBundleInfo(const std::optional<PropertyList>& infoPlist);

// The page at `path` ("/lensbrook/") of the site whose root is `siteURL`, with or without its
// final "/".
std::string sitePageURL(std::string_view siteURL, std::string_view path);

// The services the start-up uses; owned by the caller, outliving the start-up, used on the
// user-interface thread.
struct EditorStartupPlatform {
  UserDefaults& defaults;
  AlertSheets& sheets;  // sheets on the editor window
  Workspace& workspace;
  HelpViewer& help;
  AboutPanelLoader& aboutPanelLoader;
  // Starts one update check on a thread of its own and returns at once.
  std::function<void(bool notifyUser)> startUpdateCheck;
};

class EditorStartup {
 public:
  EditorStartup(EditorStartupPlatform platform, StringTable texts, std::string siteURL);

  // Once, when launching has finished: the first launch stores "FirstTime" and "CheckForUpdates"
  // and greets the user with a sheet; a later one starts the silent update check when
  // "CheckForUpdates" is exactly "YES".
  void applicationDidFinishLaunching();
  // The first-run sheet ended with `returnCode`: OK does nothing, the alternate button opens the
  // donation page, the other button the help.
  void sheetDidEndReturnCodeContextInfo(int returnCode);

  // Loads `aboutPanel` on first use (a failed load leaves it null, to be tried again), then centres
  // it and brings it to the front, every time.
  void showAboutPanel(Window*& aboutPanel);
  void openWebSite();
  void openKnownIssues();
  void openDonationPage();
  void showHelp();

 private:
  EditorStartupPlatform platform_;
  StringTable texts_;
  std::string siteURL_;
};

}  // namespace lensbrook
