// The editor's shipped string table against every alert the form can raise: a key missing from the
// table would show the bare key to the user.
#include <gmock/gmock.h>

#include <fstream>
#include <regex>
#include <sstream>

#include "shared/property_list.h"
#include "tests/lensBrook/editor_fixture.h"

namespace lensbrook::fakes {
namespace {

StringTable shippedTexts() {
  std::ifstream file(LENSBROOK_EDITOR_STRINGS);
  std::stringstream bytes;
  bytes << file.rdbuf();
  std::optional<PropertyList> table = parsePropertyList(bytes.str());
  EXPECT_TRUE(table && table->isDictionary()) << LENSBROOK_EDITOR_STRINGS;
  return StringTable(table);
}

class EditorTextsTest : public EditorFixture {
 protected:
  EditorTextsTest() : EditorFixture(shippedTexts()) {}

  static void expectWords(const Alert& alert) {
    const std::regex bareKey("[A-Z0-9_]+");
    for (const std::string& text : {alert.title, alert.message, alert.defaultButton,
                                    alert.alternateButton}) {
      // "OK" is the one key whose English text is the key itself.
      if (text != "OK") {
        EXPECT_FALSE(std::regex_match(text, bareKey)) << "untranslated: " << text;
      }
    }
  }
};

TEST_F(EditorTextsTest, EverySaveAlertReadsAsWords) {
  awake();
  const std::vector<std::vector<FakeCheckBox*>> forms = {
      {}, {&modifyPadImage, &modifyCropImage}, {&modifyPadImage}, {&modifyRotateImage}};
  for (const auto& ticked : forms) {
    controller.resetToDefaults();
    for (FakeCheckBox* box : ticked) box->value = kControlOn;
    controller.saveDroplet();
  }
  ASSERT_EQ(sheets.sheets.size(), forms.size());
  for (const auto& sheet : sheets.sheets) expectWords(sheet.alert);
  EXPECT_NE(sheets.sheets[1].alert.alternateButton, "");
}

TEST_F(EditorTextsTest, TheVersionGateReadsAsWords) {
  systemVersion.answers = {0x1020};
  controller.awakeFromNib();
  ASSERT_EQ(alerts.shown.size(), 1u);
  expectWords(alerts.shown[0]);
}

}  // namespace
}  // namespace lensbrook::fakes
