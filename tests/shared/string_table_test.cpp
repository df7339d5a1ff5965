#include "shared/string_table.h"

#include <gtest/gtest.h>

using lensbrook::FormatArgument;
using lensbrook::formatText;
using lensbrook::PropertyList;
using lensbrook::StringTable;

TEST(StringTableTest, MissingKeyOrNonTextLooksUpAsTheKey) {
  const StringTable table(PropertyList::dictionary(
      {{"QUIT", PropertyList::string("Quit")}, {"ODD", PropertyList::stringArray({"x"})}}));
  EXPECT_EQ(table.text("QUIT"), "Quit");
  EXPECT_EQ(table.text("CONTINUE"), "CONTINUE");
  EXPECT_EQ(table.text("ODD"), "ODD");
  EXPECT_EQ(StringTable(std::nullopt).text("QUIT"), "QUIT");
  EXPECT_EQ(StringTable(PropertyList::stringArray({"QUIT"})).text("QUIT"), "QUIT");
}

TEST(StringTableTest, FormatsTheKeysTextWithItsArguments) {
  const StringTable table(PropertyList::dictionary({{"ITEM_X", PropertyList::string("Item: %@")}}));
  EXPECT_EQ(table.format("ITEM_X", {std::string("a.jpg")}), "Item: a.jpg");
  EXPECT_EQ(table.format("NOT_THERE", {std::string("a.jpg")}), "NOT_THERE");
}

TEST(TextFormatTest, NeverReadsAStrayArgument) {
  struct Case {
    const char* format;
    std::vector<FormatArgument> arguments;
    const char* expected;
  };
  const std::vector<Case> cases = {
      {"%@ items left", {std::uint64_t{12}}, "12 items left"},
      {"%u of %d", {std::uint64_t{3}, std::int64_t{-4}}, "3 of -4"},
      {"%lu minutes", {std::int64_t{11}}, "11 minutes"},
      {"%s %s %s", {std::string("a")}, "a %s %s"},
      {"%2$@ then %1$@", {std::string("one"), std::string("two")}, "two then one"},
      {"%9$@", {std::string("x")}, "%9$@"},
      {"100%% done", {}, "100% done"},
      {"50% off", {std::string("ignored")}, "50% off"},
      {"trailing %", {std::string("x")}, "trailing %"},
      {"%n%p%x", {std::uint64_t{255}}, "%n%pff"},
      {"version %@", {std::string("2.0%d%n")}, "version 2.0%d%n"},
      {"no placeholders", {std::string("x"), std::int64_t{1}}, "no placeholders"},
  };
  for (const Case& c : cases) EXPECT_EQ(formatText(c.format, c.arguments), c.expected) << c.format;
}
