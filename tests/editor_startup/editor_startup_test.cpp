// The editor's start-up across launches (settings in a real file), the first-run answers, the
// about panel and the web pages.
#include <filesystem>
#include <memory>

#include <gtest/gtest.h>

#include "lensBrook/editor_startup.h"
#include "platform/qt/update/qt_user_defaults.h"
#include "tests/posix/temp_folder.h"
#include "tests/update_check/update_fakes.h"

namespace lensbrook {
namespace {

struct RecordingSheets : AlertSheets {
  std::vector<Alert> begun;
  std::vector<AlertSheets::DidEnd> handlers;
  std::vector<std::map<std::string, std::string>> defaultsWhenBegun;
  UserDefaults* defaults = nullptr;
  void beginAlertSheet(const Alert& alert, DidEnd didEnd) override {
    begun.push_back(alert);
    handlers.push_back(std::move(didEnd));
    std::map<std::string, std::string> seen;
    for (const char* key : {"FirstTime", "CheckForUpdates"})
      if (auto value = defaults->stringForKey(key)) seen[key] = *value;
    defaultsWhenBegun.push_back(seen);
  }
};

struct CountingHelp : HelpViewer {
  int shown = 0;
  void showHelp() override { ++shown; }
};

struct PanelLog : Window {
  std::vector<std::string> calls;
  void center() override { calls.push_back("center"); }
  void makeKeyAndOrderFront() override { calls.push_back("front"); }
};

struct FlakyLoader : AboutPanelLoader {
  PanelLog panel;
  bool loads = true;
  int loadCalls = 0;
  Window* loadAboutPanel() override {
    ++loadCalls;
    return loads ? &panel : nullptr;
  }
};

// One launch of the editor: fresh objects, the settings file the only thing kept between launches.
struct Launch {
  explicit Launch(const std::string& settingsFile, std::string site = "https://lensbrook.test")
      : defaults(QString::fromStdString(settingsFile)),
        startup({defaults, sheets, workspace, help, loader, [this](bool notify) { checks.push_back(notify); }},
                StringTable(PropertyList::dictionary({{"OK", PropertyList::string("OK")}})), std::move(site)) {
    sheets.defaults = &defaults;
  }
  QtUserDefaults defaults;
  RecordingSheets sheets;
  fakes::LockedWorkspace workspace;
  CountingHelp help;
  FlakyLoader loader;
  std::vector<bool> checks;  // the notify flag of each update check started
  EditorStartup startup;
};

std::map<std::string, std::string> storedIn(const std::string& settingsFile) {
  QtUserDefaults defaults(QString::fromStdString(settingsFile));
  std::map<std::string, std::string> values;
  for (const char* key : {"FirstTime", "CheckForUpdates", "IgnoreVersion"})
    if (auto value = defaults.stringForKey(key)) values[key] = *value;
  return values;
}

TEST(EditorStartup, FirstLaunchGreetsThenLaterLaunchesCheckSilently) {
  testing::TempFolder home;
  const std::string settings = home / "lensBrook/lensBrook.conf";
  {
    Launch first(settings);
    first.startup.applicationDidFinishLaunching();
    ASSERT_EQ(first.sheets.begun.size(), 1u);
    const Alert& sheet = first.sheets.begun[0];
    EXPECT_EQ(sheet.title, "FIRST_RUN_TITLE");
    EXPECT_EQ(sheet.message, "FIRST_RUN_TEXT");
    EXPECT_EQ(sheet.defaultButton, "OK");
    EXPECT_EQ(sheet.alternateButton, "FIRST_RUN_DONATE_BUTTON");
    EXPECT_EQ(sheet.otherButton, "FIRST_RUN_DOCUMENTATION_BUTTON");
    EXPECT_EQ(sheet.answerWithoutChoice, kAlertDefault);
    // "FirstTime" before the sheet, "CheckForUpdates" after it, both before any answer.
    EXPECT_EQ(first.sheets.defaultsWhenBegun[0], (std::map<std::string, std::string>{{"FirstTime", "NO"}}));
    EXPECT_TRUE(first.checks.empty());
    // The editor quits with the sheet still open.
  }
  EXPECT_EQ(storedIn(settings), (std::map<std::string, std::string>{{"FirstTime", "NO"}, {"CheckForUpdates", "YES"}}));
  for (int launch = 2; launch <= 3; ++launch) {
    Launch later(settings);
    later.startup.applicationDidFinishLaunching();
    EXPECT_TRUE(later.sheets.begun.empty()) << launch;
    EXPECT_EQ(later.checks, std::vector<bool>{false}) << launch;
  }
  std::filesystem::remove_all(home / "lensBrook");
  Launch afresh(settings);
  afresh.startup.applicationDidFinishLaunching();
  EXPECT_EQ(afresh.sheets.begun.size(), 1u) << "removing the settings makes a first launch again";
}

struct LaunchCase {
  const char* name;
  std::optional<std::string> firstTime, checkForUpdates;
  bool sheet;
  bool check;
};

TEST(EditorStartup, LaunchesFollowTheStoredTexts) {
  const std::optional<std::string> none;
  const LaunchCase cases[] = {
      {"empty settings", none, none, true, false},
      {"no FirstTime, checks on", none, "YES", true, false},
      {"checks on", "NO", "YES", false, true},
      {"FirstTime YES still counts as seen", "YES", "YES", false, true},
      {"FirstTime empty still counts as seen", "", "NO", false, false},
      {"lower-case yes", "NO", "yes", false, false},
      {"1 is no YES", "NO", "1", false, false},
      {"YES with a space", "NO", "YES ", false, false},
      {"checks never stored", "NO", none, false, false},
  };
  for (const LaunchCase& c : cases) {
    SCOPED_TRACE(c.name);
    testing::TempFolder home;
    const std::string settings = home / "lensBrook.conf";
    std::map<std::string, std::string> before;
    {
      QtUserDefaults defaults(QString::fromStdString(settings));
      for (const auto& [key, value] : {std::pair{"FirstTime", c.firstTime}, {"CheckForUpdates", c.checkForUpdates}}) {
        if (!value) continue;
        defaults.setString(key, *value);
        before[key] = *value;
      }
    }
    Launch launch(settings);
    launch.startup.applicationDidFinishLaunching();
    EXPECT_EQ(launch.sheets.begun.size(), c.sheet ? 1u : 0u);
    EXPECT_EQ(launch.checks, c.check ? std::vector<bool>{false} : std::vector<bool>{});
    if (c.sheet) {
      EXPECT_EQ(storedIn(settings), (std::map<std::string, std::string>{{"FirstTime", "NO"}, {"CheckForUpdates", "YES"}}));
    } else {
      EXPECT_EQ(storedIn(settings), before) << "a later launch writes nothing";
    }
  }
}

TEST(EditorStartup, FirstRunAnswersOpenTheDonationPageOrTheHelp) {
  struct AnswerCase {
    int answer;
    std::vector<std::string> opened;
    int help;
  };
  const AnswerCase cases[] = {
      {kAlertDefault, {}, 0},
      {kAlertAlternate, {"https://lensbrook.test/donate/"}, 0},
      {kAlertOther, {}, 1},
      {2, {}, 0},
  };
  for (const AnswerCase& c : cases) {
    testing::TempFolder home;
    Launch launch(home / "lensBrook.conf");
    launch.startup.applicationDidFinishLaunching();
    ASSERT_EQ(launch.sheets.handlers.size(), 1u);
    launch.sheets.handlers[0](c.answer);
    EXPECT_EQ(launch.workspace.opened(), c.opened) << c.answer;
    EXPECT_EQ(launch.help.shown, c.help) << c.answer;
  }
}

TEST(EditorStartup, WebPagesSitBelowTheSiteRoot) {
  for (const char* site : {"https://lensbrook.test", "https://lensbrook.test/", "https://lensbrook.test//"}) {
    testing::TempFolder home;
    Launch launch(home / "lensBrook.conf", site);
    launch.startup.openWebSite();
    launch.startup.openKnownIssues();
    launch.startup.openDonationPage();
    launch.startup.showHelp();
    EXPECT_EQ(launch.workspace.opened(),
              (std::vector<std::string>{"https://lensbrook.test/lensbrook/", "https://lensbrook.test/lensbrook/knownissues/",
                                        "https://lensbrook.test/donate/"}))
        << site;
    EXPECT_EQ(launch.help.shown, 1);
  }
}

TEST(EditorStartup, AboutPanelLoadsOnceAndIsCentredEveryTime) {
  testing::TempFolder home;
  Launch launch(home / "lensBrook.conf");
  Window* aboutPanel = nullptr;
  launch.loader.loads = false;
  launch.startup.showAboutPanel(aboutPanel);
  EXPECT_EQ(aboutPanel, nullptr);
  EXPECT_TRUE(launch.loader.panel.calls.empty()) << "a failed load shows nothing";

  launch.loader.loads = true;
  launch.startup.showAboutPanel(aboutPanel);
  launch.startup.showAboutPanel(aboutPanel);
  EXPECT_EQ(aboutPanel, &launch.loader.panel);
  EXPECT_EQ(launch.loader.loadCalls, 2) << "tried again after the failure, then never again";
  EXPECT_EQ(launch.loader.panel.calls, (std::vector<std::string>{"center", "front", "center", "front"}));
}

TEST(EditorBundleInfo, ReadsTheThreeTextsAndNothingElse) {
  const PropertyList info = PropertyList::dictionary({
      {"CFBundleVersion", PropertyList::string("2.05")},
      {"LensBrookFeedURL", PropertyList::string("http://updates.lensbrook.test/lensbrook/lensbrook.plist")},
      {"LensBrookSiteURL", PropertyList::stringArray({"https://lensbrook.test"})},
  });
  const EditorBundleInfo read = readEditorBundleInfo(info);
  EXPECT_EQ(read.bundleVersion, "2.05");
  EXPECT_EQ(read.feedURL, "http://updates.lensbrook.test/lensbrook/lensbrook.plist");
  EXPECT_EQ(read.siteURL, "") << "a non-text entry reads as empty";
  EXPECT_EQ(readEditorBundleInfo(std::nullopt).bundleVersion, "");
}

}  // namespace
}  // namespace lensbrook
