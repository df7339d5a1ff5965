#include "shared/system_version.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace lensbrook;

struct FakeVersionSource : SystemVersionSource {
  std::vector<std::optional<std::int32_t>> answers;
  int queries = 0;
  std::optional<std::int32_t> querySystemVersion() override { return answers.at(queries++); }
};

struct RecordingAlerts : Alerts {
  std::vector<Alert> shown;
  int runAlert(const Alert& alert) override {
    shown.push_back(alert);
    return kAlertDefault;
  }
};

struct FakeApplication : Application {
  bool terminating = false;
  void terminate() override { terminating = true; }
  bool isTerminating() const override { return terminating; }
};

class SystemVersionTest : public ::testing::Test {
 protected:
  void SetUp() override { gSystemVersion = 0; }
  void TearDown() override { gSystemVersion = 0; }
};

TEST_F(SystemVersionTest, GateRefusesOlderThanTheFirstSupportedVersion) {
  const struct {
    std::optional<std::int32_t> answer;
    bool passes;
  } cases[] = {{0x102F, false}, {0x1030, true}, {0x1049, true}, {std::nullopt, false}, {0, false}, {-5, false}};
  for (const auto& c : cases) {
    gSystemVersion = 0;
    FakeVersionSource source;
    source.answers = {c.answer};
    RecordingAlerts alerts;
    FakeApplication application;
    const StringTable texts(PropertyList::dictionary({{"QUIT", PropertyList::string("Quit")}}));
    EXPECT_EQ(passesSystemVersionGate(source, alerts, application, texts), c.passes);
    EXPECT_EQ(application.terminating, !c.passes);
    if (c.passes) {
      EXPECT_TRUE(alerts.shown.empty());
    } else {
      ASSERT_EQ(alerts.shown.size(), 1u);
      EXPECT_EQ(alerts.shown[0].title, "MAC_OS_X_10_3_REQUIRED_TITLE");
      EXPECT_EQ(alerts.shown[0].message, "MAC_OS_X_10_3_REQUIRED_TEXT");
      EXPECT_EQ(alerts.shown[0].defaultButton, "Quit");
      EXPECT_EQ(alerts.shown[0].alternateButton, "");
      EXPECT_EQ(alerts.shown[0].otherButton, "");
    }
  }
}

TEST_F(SystemVersionTest, CachesASuccessAndRetriesAFailure) {
  FakeVersionSource source;
  source.answers = {std::nullopt, 0x1040};
  EXPECT_EQ(GetSystemVersion(source), 0);
  EXPECT_EQ(GetSystemVersion(source), 0x1040);
  EXPECT_EQ(GetSystemVersion(source), 0x1040);
  EXPECT_EQ(source.queries, 2);
}

}  // namespace
