// One whole check against fakes: which alert, what its answer does, and checks on their threads.
#include <memory>

#include <gtest/gtest.h>

#include "lensBrook/update_check.h"
#include "tests/update_check/update_fakes.h"

namespace lensbrook {
namespace {

using fakes::AnsweringAlerts;
using fakes::LockedWorkspace;
using fakes::MemoryDefaults;
using fakes::ServedFeed;

const char* const kFeedURL = "http://updates.lensbrook.test/lensbrook/lensbrook.plist";
using fakes::feedNaming;
const char* const kProduct = fakes::kFeedProductURL;
const char* const kDownload = fakes::kFeedDownloadURL;

StringTable editorTexts() {
  return StringTable(PropertyList::dictionary({{"NEW_UPDATE_TEXT", PropertyList::string("Version %@ is out.")},
                                               {"OK", PropertyList::string("OK")}}));
}

struct Harness {
  std::shared_ptr<ServedFeed> http;
  std::shared_ptr<MemoryDefaults> defaults = std::make_shared<MemoryDefaults>();
  std::shared_ptr<AnsweringAlerts> alerts;
  std::shared_ptr<LockedWorkspace> workspace = std::make_shared<LockedWorkspace>();

  Harness(std::optional<std::string> feed, std::optional<int> answer, int gate = 1)
      : http(std::make_shared<ServedFeed>(std::move(feed))),
        alerts(std::make_shared<AnsweringAlerts>(answer, gate)) {}

  UpdateChecker checker(const std::string& runningVersion) const {
    return UpdateChecker({http, defaults, alerts, workspace, editorTexts(), kFeedURL, runningVersion});
  }
};

struct CheckCase {
  const char* name;
  std::optional<std::string> feedVersion;  // nullopt: no feed obtained
  const char* running;
  std::optional<std::string> ignoreVersion;
  bool notifyUser;
  std::optional<int> answer;  // nullopt: the user gives none (Escape)
  // Expected:
  const char* title;  // nullptr: no alert
  AlertStyle style;
  const char* message;
  int buttons;
  std::vector<std::string> opened;
  std::optional<std::string> ignoreVersionAfter;
};

TEST(UpdateChecker, EachOutcomeShowsItsAlertAndCarriesOutTheAnswer) {
  const auto info = AlertStyle::Informational;
  const std::optional<std::string> none;
  const CheckCase cases[] = {
      {"no feed, command", none, "2.05", none, true, 1,
       "ERROR_UPDATE_TITLE", AlertStyle::Critical, "ERROR_UPDATE_TEXT", 1, {}, none},
      {"no feed, automatic", none, "2.05", none, false, 1, nullptr, info, "", 0, {}, none},
      {"equal, command", "2.05", "2.05", none, true, 1, "NO_UPDATE_TITLE", info, "NO_UPDATE_TEXT", 1, {}, none},
      {"equal, automatic", "2.05", "2.05", none, false, 1, nullptr, info, "", 0, {}, none},
      {"older, command", "1.0", "2.05", "1.0", true, 1, "NO_UPDATE_TITLE", info, "NO_UPDATE_TEXT", 1, {}, "1.0"},
      {"1.10 against 1.9", "1.10", "1.9", none, true, 1, "NO_UPDATE_TITLE", info, "NO_UPDATE_TEXT", 1, {}, none},
      {"newer, download", "2.1", "2.05", none, true, kAlertDefault,
       "NEW_UPDATE_TITLE", info, "Version 2.1 is out.", 3, {kDownload}, none},
      {"newer, automatic, more information", "2.1", "2.05", none, false, kAlertAlternate,
       "NEW_UPDATE_TITLE", info, "Version 2.1 is out.", 3, {kProduct}, none},
      {"newer, ignore replaces the older text", "2.1", "2.05", "2.0", true, kAlertOther,
       "NEW_UPDATE_TITLE", info, "Version 2.1 is out.", 3, {}, "2.1"},
      {"ignored, automatic", "2.1", "2.05", "2.1", false, kAlertDefault, nullptr, info, "", 0, {}, "2.1"},
      {"ignored, command still offers; editor quit", "2.1", "2.05", "2.1", true, kAlertNotAnswered,
       "NEW_UPDATE_TITLE", info, "Version 2.1 is out.", 3, {}, "2.1"},
      {"ignored 1.2, feed 1.20", "1.20", "1.1", "1.2", false, kAlertOther,
       "NEW_UPDATE_TITLE", info, "Version 1.20 is out.", 3, {}, "1.20"},
      {"per-cent signs show as they are", "2.1%d%@%%", "2.05", none, true, kAlertOther,
       "NEW_UPDATE_TITLE", info, "Version 2.1%d%@%% is out.", 3, {}, "2.1%d%@%%"},
      {"no answer only reads about it", "2.1", "2.05", none, true, std::nullopt,
       "NEW_UPDATE_TITLE", info, "Version 2.1 is out.", 3, {kProduct}, none},
  };
  for (const CheckCase& c : cases) {
    SCOPED_TRACE(c.name);
    Harness h(c.feedVersion ? std::optional(feedNaming(*c.feedVersion)) : std::nullopt, c.answer);
    if (c.ignoreVersion) h.defaults->set("IgnoreVersion", *c.ignoreVersion);

    h.checker(c.running).checkForUpdatesAndNotify(c.notifyUser);

    EXPECT_EQ(h.http->fetched(), std::vector<std::string>{kFeedURL});
    const std::vector<Alert> shown = h.alerts->shown();
    ASSERT_EQ(shown.size(), c.title ? 1u : 0u);
    if (c.title) {
      const Alert& alert = shown[0];
      EXPECT_EQ(alert.title, c.title);
      EXPECT_EQ(alert.style, c.style);
      EXPECT_EQ(alert.message, c.message);
      EXPECT_EQ(1 + !alert.alternateButton.empty() + !alert.otherButton.empty(), c.buttons);
      EXPECT_EQ(alert.defaultButton, c.buttons == 1 ? "OK" : "NEW_UPDATE_DOWNLOAD");
      if (c.buttons == 3) {
        EXPECT_EQ(alert.alternateButton, "NEW_UPDATE_MORE_INFORMATION");
        EXPECT_EQ(alert.otherButton, "NEW_UPDATE_IGNORE");
      }
    }
    EXPECT_EQ(h.workspace->opened(), c.opened);
    const auto values = h.defaults->values();
    const auto ignored = values.find("IgnoreVersion");
    EXPECT_EQ(ignored == values.end() ? std::nullopt : std::optional(ignored->second), c.ignoreVersionAfter);
    EXPECT_LE(values.size(), 1u) << "the check writes nothing but IgnoreVersion";
  }
}

TEST(UpdateChecker, TwoCommandsRunTwoChecksAtOnceThatOutliveTheChecker) {
  // Each alert is answered only once both are up, which a serialised or blocking start never
  // reaches.
  Harness h(feedNaming("3.0"), kAlertDefault, /*gate=*/2);
  {
    const UpdateChecker checker = h.checker("2.05");
    checker.detachCheck(true);
    checker.detachCheck(true);
  }
  ASSERT_TRUE(fakes::waitUntil([&] { return h.workspace->opened().size() == 2; }));
  EXPECT_EQ(h.alerts->mostAtOnce(), 2);
  EXPECT_EQ(h.http->fetched().size(), 2u);
  EXPECT_EQ(h.workspace->opened(), (std::vector<std::string>{kDownload, kDownload}));
}

}  // namespace
}  // namespace lensbrook
