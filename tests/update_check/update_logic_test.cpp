// The update check's pure parts: reading version texts, reading the feed, choosing the alert.
#include <plist/plist.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <locale>
#include <random>

#include <gtest/gtest.h>

#include "lensBrook/update_check.h"

namespace lensbrook {
namespace {

struct NumberCase {
  const char* text;
  double number;
};

TEST(DoubleValue, ReadsTheLongestLeadingDecimalNumber) {
  const double inf = std::numeric_limits<double>::infinity();
  const NumberCase cases[] = {
      {"2.05", 2.05},  {"1.10", 1.1},  {"1.1.2", 1.1},   {"2.0b3", 2.0},  {"1.9", 1.9},
      {"abc", 0.0},    {"", 0.0},      {"   3.5", 3.5}, {"\t\n7", 7.0},  {"-1.5", -1.5},
      {"+2", 2.0},     {".5", 0.5},    {"5.", 5.0},      {".", 0.0},      {"-", 0.0},
      {"+.", 0.0},     {"1e3", 1000},  {"1E-2", 0.01},   {"1e", 1.0},     {"1e+", 1.0},
      {"2,5", 2.0},    {"0x10", 0.0},  {"inf", 0.0},     {"nan", 0.0},    {"10%", 10.0},
      {"%@", 0.0},     {"1 2", 1.0},   {"v2.0", 0.0},    {"007", 7.0},    {"1e400", inf},
      {"-1e400", -inf}, {"1e-400", 0.0}, {"0.000e999999999999", 0.0},
  };
  for (const NumberCase& c : cases) EXPECT_EQ(doubleValue(c.text), c.number) << '"' << c.text << '"';
}

// strtod in the "C" locale reads the same grammar, plus hexadecimal, "inf" and "nan", which the
// alphabet here cannot spell; on everything else the two must agree.
TEST(DoubleValue, AgreesWithTheCLibraryOnDecimalTexts) {
  const std::string alphabet = "0123456789..eE+- \tb";
  std::mt19937 random(20261211);
  for (int round = 0; round < 5000; ++round) {
    std::string text(random() % 12, ' ');
    for (char& c : text) c = alphabet[random() % alphabet.size()];
    EXPECT_EQ(doubleValue(text), std::strtod(text.c_str(), nullptr)) << '"' << text << '"';
  }
}

TEST(DoubleValue, IgnoresALocaleWithADecimalComma) {
  struct CommaPoint : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
  };
  const std::locale previous = std::locale::global(std::locale(std::locale::classic(), new CommaPoint));
  const double read = doubleValue("2.05");
  std::locale::global(previous);
  EXPECT_EQ(read, 2.05);
}

std::string xmlFeed(const std::string& entries) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>" + entries +
         "</dict></plist>";
}

const char* const kAllFour =
    "<key>newVersionNumber</key><string>2.1</string>"
    "<key>newProductURL</key><string>http://lensbrook.test/lensbrook/</string>"
    "<key>newDownloadURL</key><string>http://lensbrook.test/get.tar.gz</string>"
    "<key>newBuildNumber</key><string>210</string>";

TEST(ParseUpdateFeed, TakesTheFourTextsOfADictionary) {
  const std::optional<UpdateFeed> feed = parseUpdateFeed(xmlFeed(std::string(kAllFour) + "<key>extra</key><true/>"));
  ASSERT_TRUE(feed);
  EXPECT_EQ(*feed, (UpdateFeed{"2.1", "http://lensbrook.test/lensbrook/", "http://lensbrook.test/get.tar.gz", "210"}));
}

TEST(ParseUpdateFeed, ReadsTheBinaryForm) {
  plist_t root = nullptr;
  const std::string xml = xmlFeed(kAllFour);
  plist_from_xml(xml.data(), static_cast<uint32_t>(xml.size()), &root);
  ASSERT_NE(root, nullptr);
  char* binary = nullptr;
  uint32_t length = 0;
  plist_to_bin(root, &binary, &length);
  plist_free(root);
  const std::string bytes(binary, length);
  std::free(binary);
  ASSERT_EQ(bytes.rfind("bplist", 0), 0u);
  const std::optional<UpdateFeed> feed = parseUpdateFeed(bytes);
  ASSERT_TRUE(feed);
  EXPECT_EQ(feed->newVersionNumber, "2.1");
}

TEST(ParseUpdateFeed, AnythingButFourTextsInADictionaryIsNoFeed) {
  const std::string noBuild =
      "<key>newVersionNumber</key><string>2.1</string><key>newProductURL</key><string>p</string>"
      "<key>newDownloadURL</key><string>d</string>";
  const std::string numberVersion =
      "<key>newVersionNumber</key><real>2.1</real><key>newProductURL</key><string>p</string>"
      "<key>newDownloadURL</key><string>d</string><key>newBuildNumber</key><string>1</string>";
  const std::string arrayURL =
      "<key>newVersionNumber</key><string>2.1</string><key>newProductURL</key><array/>"
      "<key>newDownloadURL</key><string>d</string><key>newBuildNumber</key><string>1</string>";
  const std::string cases[] = {
      xmlFeed(noBuild),
      xmlFeed(numberVersion),
      xmlFeed(arrayURL),
      "<?xml version=\"1.0\"?><plist version=\"1.0\"><array><string>2.1</string></array></plist>",
      "<!DOCTYPE html><html><body><h1>lensBrook</h1></body></html>",
      "",
      xmlFeed(kAllFour).substr(0, 120),
  };
  for (const std::string& bytes : cases) EXPECT_FALSE(parseUpdateFeed(bytes)) << bytes;
}

struct DecisionCase {
  const char* name;
  bool feedObtained;
  const char* feedVersion;
  const char* running;
  std::optional<std::string> ignoreVersion;
  bool notifyUser;
  UpdateAlert alert;
};

TEST(DecideUpdateAlert, FollowsTheOutcomeTable) {
  const std::optional<std::string> none;
  const DecisionCase cases[] = {
      {"no feed, command", false, "", "1.0", none, true, UpdateAlert::Error},
      {"no feed, automatic", false, "", "1.0", none, false, UpdateAlert::None},
      {"equal, command", true, "2.05", "2.05", none, true, UpdateAlert::NoUpdate},
      {"equal, automatic", true, "2.05", "2.05", none, false, UpdateAlert::None},
      {"older, command", true, "1.0", "2.05", none, true, UpdateAlert::NoUpdate},
      {"older, automatic", true, "1.0", "2.05", none, false, UpdateAlert::None},
      {"1.10 is not above 1.9", true, "1.10", "1.9", none, true, UpdateAlert::NoUpdate},
      {"letters only", true, "latest", "0.1", none, true, UpdateAlert::NoUpdate},
      {"newer, command", true, "2.1", "2.05", none, true, UpdateAlert::NewUpdate},
      {"newer, automatic", true, "2.1", "2.05", none, false, UpdateAlert::NewUpdate},
      {"newer, other ignored", true, "2.1", "2.05", "2.0", false, UpdateAlert::NewUpdate},
      {"newer, ignored, command", true, "1.2", "1.1", "1.2", true, UpdateAlert::NewUpdate},
      {"newer, ignored, automatic", true, "1.2", "1.1", "1.2", false, UpdateAlert::None},
      {"ignored 1.2 is not 1.20", true, "1.20", "1.1", "1.2", false, UpdateAlert::NewUpdate},
      {"ignored text is case-sensitive", true, "2.0B", "1.0", "2.0b", false, UpdateAlert::NewUpdate},
      {"ignored empty text", true, "2.0", "1.0", "", false, UpdateAlert::NewUpdate},
      {"running letters only", true, "0.5", "dev", none, false, UpdateAlert::NewUpdate},
  };
  for (const DecisionCase& c : cases) {
    std::optional<UpdateFeed> feed;
    if (c.feedObtained) feed = UpdateFeed{c.feedVersion, "p", "d", "b"};
    EXPECT_EQ(decideUpdateAlert(feed, c.running, c.ignoreVersion, c.notifyUser), c.alert) << c.name;
  }
}

}  // namespace
}  // namespace lensbrook
