// The real editor window's Help menu reaches the update check and the start-up shell, and the
// shipped texts give every alert of both words, not keys.
#include <QAction>
#include <QMenu>
#include <QTest>

#include <algorithm>
#include <fstream>
#include <memory>
#include <regex>
#include <sstream>

#include <gtest/gtest.h>

#include "lensBrook/lens_brook_controller.h"
#include "platform/qt/editor/editor_window.h"
#include "platform/qt/editor/qt_alert_sheets.h"
#include "tests/fakes/fake_services.h"
#include "tests/lensBrook/fake_form.h"
#include "tests/update_check/update_fakes.h"
#include "ui_EditorWindow.h"

namespace lensbrook {
namespace {

StringTable shippedTexts() {
  std::ifstream file(LENSBROOK_EDITOR_STRINGS);
  std::stringstream bytes;
  bytes << file.rdbuf();
  return StringTable(parsePropertyList(bytes.str()));
}

struct CountingHelp : HelpViewer {
  int shown = 0;
  void showHelp() override { ++shown; }
};

struct CountingPanel : Window {
  int shown = 0;
  void center() override {}
  void makeKeyAndOrderFront() override { ++shown; }
};

struct OnePanel : AboutPanelLoader {
  CountingPanel panel;
  int loads = 0;
  Window* loadAboutPanel() override {
    ++loads;
    return &panel;
  }
};

class HelpMenuTest : public ::testing::Test {
 protected:
  explicit HelpMenuTest(std::string feedVersion = "1.0")
      : http(std::make_shared<fakes::ServedFeed>(fakes::feedNaming(feedVersion))),
        updates({http, defaults, threadAlerts, workspace, texts, "http://updates.lensbrook.test/feed.plist", "1.0"}),
        startup({*defaults, sheets, *workspace, help, panels, [this](bool notify) { updates.detachCheck(notify); }},
                texts, "https://lensbrook.test") {
    controller.updateChecker = &updates;
    controller.editorStartup = &startup;
    window.connectTo(controller);
  }

  QAction* helpItem(const QString& text) {
    for (QAction* action : window.form().menuHelp->actions())
      if (action->text().remove('&') == text) return action;
    ADD_FAILURE() << "no Help item " << text.toStdString();
    static QAction none;
    return &none;
  }

  const StringTable texts = shippedTexts();
  EditorWindow window;
  fakes::ScriptedAlerts alerts;
  QtAlertSheets sheets{&window};
  fakes::FakeSavePanel savePanel;
  fakes::FakeApplication application;
  fakes::ScriptedSystemVersion systemVersion;
  fakes::RecordingLog log;
  std::shared_ptr<fakes::ServedFeed> http;
  std::shared_ptr<fakes::MemoryDefaults> defaults = std::make_shared<fakes::MemoryDefaults>();
  std::shared_ptr<fakes::AnsweringAlerts> threadAlerts = std::make_shared<fakes::AnsweringAlerts>(kAlertDefault);
  std::shared_ptr<fakes::LockedWorkspace> workspace = std::make_shared<fakes::LockedWorkspace>();
  CountingHelp help;
  OnePanel panels;
  UpdateChecker updates;
  EditorStartup startup;
  lensBrookController controller{EditorPlatform{window.window(), alerts, sheets, savePanel, window.notifications(),
                                                application, systemVersion, log},
                                 EditorBundle{texts}};
};

TEST_F(HelpMenuTest, EachItemReachesItsCommand) {
  helpItem("lensBrook Help")->trigger();
  EXPECT_EQ(help.shown, 1);
  helpItem("lensBrook Web Site")->trigger();
  helpItem("Known Issues")->trigger();
  EXPECT_EQ(workspace->opened(),
            (std::vector<std::string>{"https://lensbrook.test/lensbrook/", "https://lensbrook.test/lensbrook/knownissues/"}));
  helpItem("About lensBrook")->trigger();
  helpItem("About lensBrook")->trigger();
  EXPECT_EQ(panels.loads, 1);
  EXPECT_EQ(panels.panel.shown, 2);

  // The command always answers: with an equal version, that there is nothing new.
  helpItem("Check for Updates…")->trigger();
  ASSERT_TRUE(fakes::waitUntil([&] { return threadAlerts->shown().size() == 1; }));
  EXPECT_EQ(threadAlerts->shown()[0].title, texts.text("NO_UPDATE_TITLE"));
}

bool readsAsWords(const std::string& text) { return !text.empty() && !std::regex_match(text, std::regex("[A-Z0-9_]+")); }

TEST(ShippedEditorTexts, EveryUpdateAndFirstRunTextReadsAsWords) {
  const StringTable texts = shippedTexts();
  for (const char* key : {"FIRST_RUN_TITLE", "FIRST_RUN_TEXT", "FIRST_RUN_DONATE_BUTTON", "FIRST_RUN_DOCUMENTATION_BUTTON",
                          "NO_UPDATE_TITLE", "NO_UPDATE_TEXT", "NEW_UPDATE_TITLE", "NEW_UPDATE_DOWNLOAD",
                          "NEW_UPDATE_MORE_INFORMATION", "NEW_UPDATE_IGNORE", "ERROR_UPDATE_TITLE", "ERROR_UPDATE_TEXT"})
    EXPECT_TRUE(readsAsWords(texts.text(key))) << key;
  // One placeholder, which takes the version; anything else would show stray conversions.
  const std::string offer = texts.text("NEW_UPDATE_TEXT");
  EXPECT_EQ(std::count(offer.begin(), offer.end(), '%'), 1) << offer;
  EXPECT_NE(offer.find("%@"), std::string::npos) << offer;
  const std::string shown = texts.format("NEW_UPDATE_TEXT", {std::string("2.1%d")});
  EXPECT_NE(shown.find("2.1%d"), std::string::npos) << shown;
  EXPECT_EQ(shown.find("%@"), std::string::npos) << shown;
}

}  // namespace
}  // namespace lensbrook
