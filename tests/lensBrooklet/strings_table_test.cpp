#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "shared/string_table.h"

namespace lensbrook {
namespace {

// Every key the droplet shows or logs has a text, and each format shows its argument.
TEST(EngineStringsTest, EveryKeyHasATextThatShowsItsArgument) {
  std::ifstream file(LENSBROOKLET_STRINGS);
  std::stringstream bytes;
  bytes << file.rdbuf();
  const auto parsed = parsePropertyList(bytes.str());
  ASSERT_TRUE(parsed && parsed->isDictionary());
  const StringTable table(parsed);
  const struct {
    const char* key;
    std::vector<FormatArgument> arguments;
    const char* shown;  // what the formatted text must contain
  } cases[] = {
      {"MODIFICATION_WARNING_TITLE", {}, ""},  {"MODIFICATION_WARNING_TEXT", {}, ""},
      {"CONTINUE", {}, ""},                    {"QUIT", {}, ""},
      {"PROCESSING_X_TIMES", {std::uint64_t{37}}, "37"},
      {"ITEM_X", {std::string("a b.tif")}, "a b.tif"},
      {"TIME_REMAINING_CALCULATING", {}, ""},  {"TIME_REMAINING_MINUTE", {}, ""},
      {"TIME_REMAINING_X_MINUTES", {std::int64_t{16}}, "16"},
      {"TIME_REMAINING_30_SECONDS", {}, ""},   {"TIME_REMAINING_10_SECONDS", {}, ""},
      {"TIME_REMAINING_5_SECONDS", {}, ""},
      {"RUNNING_SIPS_FAILED", {std::string("/p/a.jpg")}, "/p/a.jpg"},
      {"SETTING_ATTRIBUTES_FAILED", {std::string("/p/a.jpg")}, "/p/a.jpg"},
      {"CREATING_BACKUP_FAILED", {std::string("/p/a.jpg")}, "/p/a.jpg"},
      {"UNUSABLE_FORMAT_FAILED", {std::string("/p/a.jpg")}, "/p/a.jpg"},
      {"MAC_OS_X_10_3_REQUIRED_TITLE", {}, ""}, {"MAC_OS_X_10_3_REQUIRED_TEXT", {}, ""},
      {"DROPLET_INFO_TITLE", {}, ""},          {"DROPLET_INFO_TEXT", {}, ""},
      {"DROPLET_INFO_MORE_INFO_BTN", {}, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.key);
    EXPECT_NE(table.text(c.key), c.key);
    const std::string shown = table.format(c.key, c.arguments);
    EXPECT_NE(shown.find(c.shown), std::string::npos) << shown;
    EXPECT_EQ(shown.find('%'), std::string::npos) << shown;
  }
}

}  // namespace
}  // namespace lensbrook
