// Set-up, automatic ticking, the format-dependent metadata rule, reset and closing.
#include <gmock/gmock.h>

#include "tests/lensBrook/editor_fixture.h"

namespace lensbrook::fakes {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

using EditorFormTest = EditorFixture;

TEST_F(EditorFormTest, SetUpCentresObservesCreatesEmptyContainersAndSelectsEveryFileType) {
  controller.awakeFromNib();

  EXPECT_THAT(journal, ElementsAre("window.center", "fileTypes.selectItemAtIndex 0"));
  EXPECT_EQ(systemVersion.queries, 1);
  EXPECT_THAT(alerts.shown, IsEmpty());
  ASSERT_EQ(notifications.observers.size(), 3u);
  EXPECT_EQ(notifications.observers[0].first, Notification::ControlTextDidChange);
  EXPECT_EQ(notifications.observers[1].first, Notification::ComboBoxSelectionDidChange);
  EXPECT_EQ(notifications.observers[2].first, Notification::PopUpButtonWillPopUp);
  ASSERT_TRUE(controller.theAttributes && controller.theFileAttributes);
  EXPECT_THAT(*controller.theAttributes, IsEmpty());
  EXPECT_THAT(*controller.theFileAttributes, IsEmpty());
}

TEST_F(EditorFormTest, SetUpOnAnOldOrUnknownSystemShowsTheQuitAlertAndEnds) {
  for (const auto answer : {std::optional<std::int32_t>(0x102F), std::optional<std::int32_t>()}) {
    gSystemVersion = 0;
    systemVersion.answers = {answer};
    alerts.shown.clear();
    application.terminateCalls = 0;

    controller.awakeFromNib();

    ASSERT_EQ(alerts.shown.size(), 1u);
    EXPECT_EQ(alerts.shown[0].title, "MAC_OS_X_10_3_REQUIRED_TITLE");
    EXPECT_EQ(alerts.shown[0].message, "MAC_OS_X_10_3_REQUIRED_TEXT");
    EXPECT_EQ(alerts.shown[0].defaultButton, "QUIT");
    EXPECT_EQ(alerts.shown[0].alternateButton, "");
    EXPECT_EQ(application.terminateCalls, 1);
    EXPECT_THAT(notifications.observers, IsEmpty());
    EXPECT_FALSE(controller.theAttributes);
  }
}

struct Ticking {
  const char* control;
  const char* box;
};

void PrintTo(const Ticking& t, std::ostream* out) { *out << t.control << " -> " << t.box; }

class TickingTest : public EditorFixture, public ::testing::WithParamInterface<Ticking> {
 protected:
  const Control* control(const std::string& name) {
    if (name == "fileTypes") return &fileTypes;
    if (name == "imageFormat") return &imageFormat;
    for (FakeTextField* field : fields()) {
      if (field->name() == name) return field;
    }
    return nullptr;
  }
};

TEST_P(TickingTest, AnyNoticeFromTheControlTicksOnlyItsBox) {
  awake();
  for (const Notification notice : {Notification::ControlTextDidChange,
                                    Notification::ComboBoxSelectionDidChange,
                                    Notification::PopUpButtonWillPopUp}) {
    for (FakeCheckBox* box : boxes()) box->value = kControlOff;
    notifications.post(notice, control(GetParam().control));
    EXPECT_THAT(tickedBoxes(), ElementsAre(GetParam().box));
  }
  // A second notice keeps the box on, and never unticks it.
  notifications.post(Notification::ControlTextDidChange, control(GetParam().control));
  EXPECT_THAT(tickedBoxes(), ElementsAre(GetParam().box));
}

INSTANTIATE_TEST_SUITE_P(
    EveryObservedControl, TickingTest,
    ::testing::Values(Ticking{"fileTypes", "modifyFileTypes"}, Ticking{"artist", "modifyArtist"},
                      Ticking{"copyright", "modifyCopyright"},
                      Ticking{"description", "modifyDescription"},
                      Ticking{"rotateImage", "modifyRotateImage"},
                      Ticking{"resampleImageMax", "modifyResampleImageMax"},
                      Ticking{"resampleImageHeight", "modifyResampleImage"},
                      Ticking{"resampleImageWidth", "modifyResampleImage"},
                      Ticking{"cropImageHeight", "modifyCropImage"},
                      Ticking{"cropImageWidth", "modifyCropImage"},
                      Ticking{"padImageHeight", "modifyPadImage"},
                      Ticking{"padImageWidth", "modifyPadImage"},
                      Ticking{"imageFormat", "modifyImageFormat"}));

TEST_F(EditorFormTest, NoticesFromOtherControlsChangeNothing) {
  awake();
  FakeTextField stranger{"stranger", journal};
  notifications.post(Notification::ControlTextDidChange, &stranger);
  notifications.post(Notification::ControlTextDidChange, nullptr);
  notifications.post(Notification::ComboBoxSelectionDidChange, &imageQuality);
  EXPECT_THAT(journal, IsEmpty());
}

TEST_F(EditorFormTest, PickingAQualityTicksItsBoxAndNothingElse) {
  awake();
  controller.imageQualityDidChange();
  EXPECT_THAT(journal, ElementsAre("modifyImageQuality.setState 1"));
}

class MetadataRuleTest : public EditorFixture,
                         public ::testing::WithParamInterface<std::tuple<int, bool>> {};

TEST_P(MetadataRuleTest, GroupIsDisabledOnlyForATickedFormatWithoutMetadata) {
  const auto [position, formatTicked] = GetParam();
  // BMP and PICT, which cannot carry the texts, stand at 2 and 8.
  const bool disables = formatTicked && (position == 2 || position == 8);
  awake();
  artist.text = "Ann";
  copyright.text = "";
  description.text = "half-typ";
  modifyArtist.value = kControlOn;
  modifyDescription.value = kControlOn;
  for (FakeCheckBox* box : {&modifyArtist, &modifyCopyright, &modifyDescription}) box->enabled = false;
  for (FakeTextField* field : {&artist, &copyright, &description}) field->enabled = false;
  modifyImageFormat.value = formatTicked ? kControlOn : kControlOff;
  imageFormat.selected = position;

  controller.imageFormatDidChange();

  if (disables) {
    EXPECT_THAT(journal,
                ElementsAre("artist.validateEditing", "copyright.validateEditing",
                            "description.validateEditing", "modifyArtist.setState 0",
                            "modifyCopyright.setState 0", "modifyDescription.setState 0",
                            "modifyArtist.disable", "modifyCopyright.disable",
                            "modifyDescription.disable", "artist.disable", "copyright.disable",
                            "description.disable"));
    EXPECT_THAT(tickedBoxes(), ElementsAre("modifyImageFormat"));
  } else {
    EXPECT_THAT(journal, ElementsAre("modifyArtist.enable", "modifyCopyright.enable",
                                     "modifyDescription.enable", "artist.enable", "copyright.enable",
                                     "description.enable"));
    EXPECT_EQ(modifyArtist.value, kControlOn);
    EXPECT_EQ(modifyCopyright.value, kControlOff);
    EXPECT_EQ(modifyDescription.value, kControlOn);
  }
  EXPECT_EQ(artist.text, "Ann");
  EXPECT_EQ(description.text, "half-typ");
  EXPECT_EQ(imageFormat.selected, position);
}

INSTANTIATE_TEST_SUITE_P(EveryPositionWithAndWithoutTheBox, MetadataRuleTest,
                         ::testing::Combine(::testing::Range(0, 9), ::testing::Bool()));

TEST_F(EditorFormTest, ResetClearsTheFormButLeavesEnabledStatesAndRecipeAlone) {
  awake();
  for (FakeCheckBox* box : boxes()) box->value = kControlOn;
  for (FakeTextField* field : fields()) field->text = field->name() + " text";
  modifyArtist.value = 2;  // mixed state: also cleared
  modifyArtist.enabled = false;
  artist.enabled = false;
  imageFormat.selected = 8;
  imageQuality.selected = {1, 1};
  fileTypes.selected = -1;
  fileTypes.text = "raw";
  controller.theAttributes->push_back("-i");

  controller.resetToDefaults();

  EXPECT_THAT(tickedBoxes(), IsEmpty());
  for (FakeCheckBox* box : boxes()) EXPECT_EQ(box->value, kControlOff) << box->name();
  for (FakeTextField* field : fields()) EXPECT_EQ(field->text, "") << field->name();
  EXPECT_EQ(imageFormat.selected, 0);
  EXPECT_EQ(imageQuality.titleOfSelectedCell(), "Default");
  EXPECT_EQ(fileTypes.selected, 0);
  EXPECT_FALSE(modifyArtist.enabled);
  EXPECT_FALSE(artist.enabled);
  EXPECT_THAT(*controller.theAttributes, ElementsAre("-i"));
  EXPECT_THAT(std::vector<std::string>(journal.end() - 3, journal.end()),
              ElementsAre("imageFormat.selectItemAtIndex 0", "imageQuality.setState 0,0 1",
                          "fileTypes.selectItemAtIndex 0"));
}

TEST_F(EditorFormTest, ClosingTheWindowEndsTheApplicationWithoutAsking) {
  awake();
  modifyArtist.value = kControlOn;
  controller.windowWillClose();
  EXPECT_EQ(application.terminateCalls, 1);
  EXPECT_THAT(sheets.sheets, IsEmpty());
  EXPECT_THAT(savePanel.sheets, IsEmpty());
}

}  // namespace
}  // namespace lensbrook::fakes
