#include "shared/system_version.h"
#include "tests/lensBrooklet/engine_fixture.h"

namespace lensbrook::testing {
namespace {

class LaunchTest : public EngineTest {
 protected:
  void TearDown() override { gSystemVersion = 0; }
};

TEST_F(LaunchTest, WithoutItemsGatesExplainsAndQuits) {
  const struct {
    const char* name;
    std::optional<std::int32_t> version;
    std::deque<int> answers;  // empty: no answer
    Strings titles;
    Strings opened;
  } cases[] = {
      {"quit", 0x1030, {kAlertDefault}, {"DROPLET_INFO_TITLE"}, {}},
      {"more info", 0x1040, {kAlertAlternate}, {"DROPLET_INFO_TITLE"}, {"https://site.test/lensbrook/"}},
      {"no answer", 0x1040, {}, {"DROPLET_INFO_TITLE"}, {}},
      {"other answer", 0x1040, {kAlertOther}, {"DROPLET_INFO_TITLE"}, {}},
      {"too old", 0x102F, {kAlertDefault}, {"MAC_OS_X_10_3_REQUIRED_TITLE"}, {}},
      {"unknown version", std::nullopt, {}, {"MAC_OS_X_10_3_REQUIRED_TITLE"}, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    gSystemVersion = 0;
    alerts.shown.clear();
    workspace.openedURLs.clear();
    application.terminateCalls = 0;
    systemVersion.answers = {c.version};
    alerts.answers = c.answers;
    engine().applicationDidFinishLaunching();
    Strings titles;
    for (const auto& alert : alerts.shown) titles.push_back(alert.title);
    EXPECT_EQ(titles, c.titles);
    EXPECT_EQ(workspace.openedURLs, c.opened);
    EXPECT_EQ(application.terminateCalls, 1);
    const Alert& shown = alerts.shown.back();
    EXPECT_EQ(shown.defaultButton, "Quit");
    EXPECT_EQ(shown.answerWithoutChoice, kAlertDefault);
    if (c.titles.front() == "DROPLET_INFO_TITLE") {
      EXPECT_EQ(shown.message, "DROPLET_INFO_TEXT");
      EXPECT_EQ(shown.alternateButton, "DROPLET_INFO_MORE_INFO_BTN");
      EXPECT_EQ(shown.otherButton, "");
    }
  }
  EXPECT_TRUE(files.calls.empty());  // opened by itself, a droplet touches no file
}

}  // namespace
}  // namespace lensbrook::testing
