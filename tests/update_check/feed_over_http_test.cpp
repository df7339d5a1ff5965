// Whole checks over real HTTP: libcurl against a server on the loopback address.
#include <stdlib.h>

#include <chrono>
#include <memory>

#include <gtest/gtest.h>

#include "lensBrook/update_check.h"
#include "platform/http/curl_http_fetch.h"
#include "tests/update_check/test_http_server.h"
#include "tests/update_check/update_fakes.h"

namespace lensbrook {
namespace {

using fakes::feedNaming;
using testing::CannedResponse;
using testing::TestHttpServer;

struct HttpCase {
  const char* name;
  std::string url;             // the feed address the check is given
  const char* commandAlert;    // the alert the command shows
  const char* automaticAlert;  // the alert the automatic check shows; nullptr for none
  const char* message = "";    // checked when not empty
};

class FeedOverHttp : public ::testing::Test {
 protected:
  // A proxy set for the machine must not stand between the fetch and the loopback server.
  static void SetUpTestSuite() { ::setenv("no_proxy", "127.0.0.1", 1); }

  // Short, so the server that never answers costs little; the product's own is far longer.
  static constexpr std::chrono::milliseconds kTimeout{400};

  std::vector<std::string> alertsShown(const std::string& url, bool notifyUser) {
    auto alerts = std::make_shared<fakes::AnsweringAlerts>(kAlertDefault);
    const StringTable texts(PropertyList::dictionary({{"NEW_UPDATE_TEXT", PropertyList::string("Version %@ is out.")}}));
    UpdateChecker({std::make_shared<CurlHttpFetch>(kTimeout, 4096), std::make_shared<fakes::MemoryDefaults>(),
                   alerts, std::make_shared<fakes::LockedWorkspace>(), texts, url, "2.05"})
        .checkForUpdatesAndNotify(notifyUser);
    std::vector<std::string> titles;
    for (const Alert& alert : alerts->shown()) {
      titles.push_back(alert.title);
      lastMessage = alert.message;
    }
    return titles;
  }

  TestHttpServer server;
  std::string lastMessage;
};

TEST_F(FeedOverHttp, EveryKindOfFeedAndFailureGivesItsAlert) {
  const std::string feedPath = "/lensbrook/lensbrook.plist";
  server.serve("/newer", {200, "Content-Type: application/xml\r\n", feedNaming("2.1")});
  server.serve("/equal", {200, "", feedNaming("2.05")});
  server.serve("/older", {200, "", feedNaming("1.0")});
  server.serve("/one-ten", {200, "", feedNaming("1.10")});
  server.serve("/letters", {200, "", feedNaming("latest")});
  server.serve("/percent", {200, "", feedNaming("2.1%@%d")});
  server.serve("/html", {200, "Content-Type: text/html\r\n", "<!DOCTYPE html><html><body>Moved on</body></html>"});
  server.serve("/array", {200, "", "<?xml version=\"1.0\"?><plist version=\"1.0\"><array><string>2.1</string></array></plist>"});
  server.serve("/missing-key", {200, "", "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict>"
                                         "<key>newVersionNumber</key><string>9.0</string></dict></plist>"});
  server.serve("/error-with-feed", {500, "", feedNaming("9.0")});
  server.serve("/huge", {200, "", feedNaming("9.0") + std::string(8192, ' ')});
  server.serve("/moved", {302, "Location: " + server.url("/newer") + "\r\n", ""});
  server.serve("/moved-to-file", {302, "Location: file:///etc/hostname\r\n", ""});
  server.hang("/silent");

  const char* kError = "ERROR_UPDATE_TITLE";
  const char* kNone = "NO_UPDATE_TITLE";
  const char* kNew = "NEW_UPDATE_TITLE";
  const HttpCase cases[] = {
      {"newer", server.url("/newer"), kNew, kNew, "Version 2.1 is out."},
      {"equal", server.url("/equal"), kNone, nullptr},
      {"older", server.url("/older"), kNone, nullptr},
      {"1.10 against 1.9 reads as 1.1", server.url("/one-ten"), kNone, nullptr},
      {"letters only", server.url("/letters"), kNone, nullptr},
      {"per-cent signs", server.url("/percent"), kNew, kNew, "Version 2.1%@%d is out."},
      {"an HTML page", server.url("/html"), kError, nullptr},
      {"an array at the root", server.url("/array"), kError, nullptr},
      {"a missing key", server.url("/missing-key"), kError, nullptr},
      {"404", server.url(feedPath), kError, nullptr},
      {"a feed sent with an error status", server.url("/error-with-feed"), kError, nullptr},
      {"a body over the size cap", server.url("/huge"), kError, nullptr},
      {"a redirect to the feed", server.url("/moved"), kNew, kNew},
      {"a redirect off the web", server.url("/moved-to-file"), kError, nullptr},
      {"a closed port", "http://127.0.0.1:" + std::to_string(testing::closedPort()) + feedPath, kError, nullptr},
      {"a server that never answers", server.url("/silent"), kError, nullptr},
      {"not a web address", "file:///etc/hostname", kError, nullptr},
      {"no address at all", "", kError, nullptr},
  };
  for (const HttpCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(alertsShown(c.url, true), std::vector<std::string>{c.commandAlert});
    if (*c.message) {
      EXPECT_EQ(lastMessage, c.message);
    }
    const std::vector<std::string> automatic = alertsShown(c.url, false);
    EXPECT_EQ(automatic, c.automaticAlert ? std::vector<std::string>{c.automaticAlert} : std::vector<std::string>{});
  }
  EXPECT_GE(server.requests().size(), 2u * 13);
}

TEST_F(FeedOverHttp, FetchesTheWholeBodyAndNothingElse) {
  const std::string body = feedNaming("2.1");
  server.serve("/feed", {200, "", body});
  CurlHttpFetch fetch(kTimeout, body.size());
  EXPECT_EQ(fetch.fetch(server.url("/feed")), body);
  EXPECT_EQ(CurlHttpFetch(kTimeout, body.size() - 1).fetch(server.url("/feed")), std::nullopt);
  EXPECT_EQ(server.requests(), (std::vector<std::string>{"/feed", "/feed"}));
}

}  // namespace
}  // namespace lensbrook
