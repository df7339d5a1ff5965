#include "lensBrook/editor_startup.h"

namespace lensbrook {
namespace {

std::string textEntry(const std::optional<PropertyList>& dictionary, const std::string& key) {
  const PropertyList* entry = dictionary ? dictionary->find(key) : nullptr;
  return entry && entry->isString() ? entry->text : std::string();
}

}  // namespace

EditorBundleInfo readEditorBundleInfo(const std::optional<PropertyList>& infoPlist) {
  return {textEntry(infoPlist, "CFBundleVersion"), textEntry(infoPlist, "LensBrookFeedURL"),
          textEntry(infoPlist, "LensBrookSiteURL")};
}

std::string sitePageURL(std::string_view siteURL, std::string_view path) {
  while (!siteURL.empty() && siteURL.back() == '/') siteURL.remove_suffix(1);
  return std::string(siteURL) + std::string(path);
}

EditorStartup::EditorStartup(EditorStartupPlatform platform, StringTable texts, std::string siteURL)
    : platform_(std::move(platform)), texts_(std::move(texts)), siteURL_(std::move(siteURL)) {}

void EditorStartup::applicationDidFinishLaunching() {
  UserDefaults& theDefaults = platform_.defaults;
  if (!theDefaults.stringForKey("FirstTime")) {
    theDefaults.setString("FirstTime", "NO");
    Alert sheet;
    sheet.style = AlertStyle::Informational;
    sheet.title = texts_.text("FIRST_RUN_TITLE");
    sheet.message = texts_.text("FIRST_RUN_TEXT");
    sheet.defaultButton = texts_.text("OK");
    sheet.alternateButton = texts_.text("FIRST_RUN_DONATE_BUTTON");
    sheet.otherButton = texts_.text("FIRST_RUN_DOCUMENTATION_BUTTON");
    platform_.sheets.beginAlertSheet(sheet, [this](int returnCode) { sheetDidEndReturnCodeContextInfo(returnCode); });
    // Stored before the answer, so quitting with the sheet still open is not a first launch again.
    theDefaults.setString("CheckForUpdates", "YES");
    return;
  }
  if (theDefaults.stringForKey("CheckForUpdates") == "YES") platform_.startUpdateCheck(false);
}

void EditorStartup::sheetDidEndReturnCodeContextInfo(int returnCode) {
  if (returnCode == kAlertAlternate) openDonationPage();
  if (returnCode == kAlertOther) showHelp();
}

void EditorStartup::showAboutPanel(Window*& aboutPanel) {
  if (!aboutPanel) aboutPanel = platform_.aboutPanelLoader.loadAboutPanel();
  if (!aboutPanel) return;
  aboutPanel->center();
  aboutPanel->makeKeyAndOrderFront();
}

void EditorStartup::openWebSite() { platform_.workspace.openURL(sitePageURL(siteURL_, "/lensbrook/")); }

void EditorStartup::openKnownIssues() {
  platform_.workspace.openURL(sitePageURL(siteURL_, "/lensbrook/knownissues/"));
}

void EditorStartup::openDonationPage() { platform_.workspace.openURL(sitePageURL(siteURL_, "/donate/")); }

void EditorStartup::showHelp() { platform_.help.showHelp(); }

}  // namespace lensbrook
