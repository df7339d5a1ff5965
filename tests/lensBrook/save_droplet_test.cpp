// The save command: the four checks in their order, the conflict sheet's answers, and the hand-over
// of a valid recipe to the save sheet.
#include <gmock/gmock.h>

#include <map>
#include <stdexcept>

#include "tests/lensBrook/editor_fixture.h"

namespace lensbrook::fakes {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class SaveFixture : public EditorFixture {
 protected:
  FakeCheckBox& box(const std::string& name) {
    for (FakeCheckBox* b : boxes()) {
      if (b->name() == name) return *b;
    }
    throw std::invalid_argument(name);
  }
  FakeTextField& field(const std::string& name) {
    for (FakeTextField* f : fields()) {
      if (f->name() == name) return *f;
    }
    throw std::invalid_argument(name);
  }
};

constexpr const char* kSaveSheet = "save sheet";

struct SaveCase {
  std::vector<std::string> ticked;
  std::map<std::string, std::string> texts;
  std::string outcome;  // the alert's title key, or kSaveSheet
};

class SaveChecksTest : public SaveFixture, public ::testing::WithParamInterface<SaveCase> {};

TEST_P(SaveChecksTest, FirstFailingCheckShowsItsSheetOtherwiseTheSaveSheetOpens) {
  awake();
  for (const std::string& name : GetParam().ticked) box(name).value = kControlOn;
  for (const auto& [name, text] : GetParam().texts) field(name).text = text;

  controller.saveDroplet();

  if (GetParam().outcome == kSaveSheet) {
    EXPECT_THAT(sheets.sheets, IsEmpty());
    ASSERT_EQ(savePanel.sheets.size(), 1u);
    EXPECT_EQ(savePanel.sheets[0].initialName, "Untitled Droplet");
    EXPECT_EQ(savePanel.sheets[0].requiredType, "app");
    EXPECT_THAT(*controller.theAttributes, ::testing::Not(IsEmpty()));
    return;
  }
  EXPECT_THAT(savePanel.sheets, IsEmpty());
  ASSERT_EQ(sheets.sheets.size(), 1u);
  const Alert& alert = sheets.sheets[0].alert;
  const std::string stem = alert.title.substr(0, alert.title.size() - std::string("TITLE").size());
  EXPECT_EQ(alert.title, GetParam().outcome);
  EXPECT_EQ(alert.message, stem + "TEXT");
  EXPECT_EQ(alert.defaultButton, "OK");
  const bool conflict = alert.title == "CONFLICT_IMAGE_ATTRIBUTES_TITLE";
  EXPECT_EQ(alert.alternateButton, conflict ? "CONFLICT_IMAGE_ATTRIBUTES_BUTTON" : "");
  EXPECT_EQ(alert.otherButton, "");
  EXPECT_EQ(bool(sheets.sheets[0].didEnd), conflict);
  // A refused save leaves the containers as the last build left them.
  EXPECT_THAT(*controller.theAttributes, IsEmpty());
}

const char* const kNoOp = "NO_IMAGE_ATTRIBUTES_TITLE";
const char* const kConflict = "CONFLICT_IMAGE_ATTRIBUTES_TITLE";
const char* const kPixel = "PIXEL_ERROR_TITLE";
const char* const kRotate = "ROTATE_ERROR_TITLE";

INSTANTIATE_TEST_SUITE_P(
    Forms, SaveChecksTest,
    ::testing::Values(
        SaveCase{{}, {}, kNoOp},
        SaveCase{{"createBackupImage", "modifyFileTypes"}, {{"rotateImage", "90"}}, kNoOp},
        SaveCase{{"modifyArtist"}, {}, kSaveSheet},
        SaveCase{{"flipVertically"}, {}, kSaveSheet},
        SaveCase{{"modifyImageQuality"}, {}, kSaveSheet},
        // The conflict is reported before any missing size.
        SaveCase{{"modifyPadImage", "modifyCropImage"}, {}, kConflict},
        SaveCase{{"modifyResampleImage", "modifyResampleImageMax"},
                 {{"resampleImageHeight", "1"}, {"resampleImageMax", "2"}}, kConflict},
        SaveCase{{"modifyPadImage", "modifyResampleImage", "modifyResampleImageMax"}, {}, kConflict},
        SaveCase{{"modifyPadImage", "modifyCropImage", "modifyResampleImage", "modifyResampleImageMax"},
                 {}, kConflict},
        SaveCase{{"modifyResampleImage"}, {{"resampleImageHeight", "600"}}, kSaveSheet},
        SaveCase{{"modifyResampleImage"}, {{"resampleImageWidth", "800"}}, kSaveSheet},
        SaveCase{{"modifyResampleImage"}, {}, kPixel},
        SaveCase{{"modifyPadImage"}, {{"padImageHeight", "10"}}, kPixel},
        SaveCase{{"modifyPadImage"}, {{"padImageWidth", "10"}}, kPixel},
        SaveCase{{"modifyPadImage"}, {{"padImageHeight", " "}, {"padImageWidth", "ten"}}, kSaveSheet},
        SaveCase{{"modifyCropImage"}, {{"cropImageHeight", "10"}}, kPixel},
        SaveCase{{"modifyCropImage"}, {{"cropImageHeight", "1"}, {"cropImageWidth", "2"}}, kSaveSheet},
        SaveCase{{"modifyResampleImageMax"}, {}, kSaveSheet},
        SaveCase{{"modifyRotateImage"}, {}, kRotate},
        SaveCase{{"modifyRotateImage"}, {{"rotateImage", "-90"}}, kSaveSheet},
        SaveCase{{"modifyPadImage", "modifyRotateImage"}, {{"padImageHeight", "5"}}, kPixel},
        SaveCase{{"addIcon"}, {}, kSaveSheet}));

TEST_F(SaveFixture, BoxesInAMixedStateDoNotCount) {
  awake();
  for (FakeCheckBox* b : boxes()) b->value = 2;
  EXPECT_FALSE(controller.isValidDroplet());
  controller.saveDroplet();
  ASSERT_EQ(sheets.sheets.size(), 1u);
  EXPECT_EQ(sheets.sheets[0].alert.title, kNoOp);
}

TEST_F(SaveFixture, MetadataBoxesClearedByTheFormatRuleNoLongerCount) {
  awake();
  modifyArtist.value = kControlOn;
  modifyImageFormat.value = kControlOn;
  imageFormat.selected = 2;
  controller.imageFormatDidChange();
  modifyImageFormat.value = kControlOff;
  EXPECT_FALSE(controller.isValidDroplet());
}

TEST_F(SaveFixture, ConflictSheetAlternateClearsAllFourSizeBoxesAndOkLeavesThem) {
  for (const int answer : {kAlertAlternate, kAlertDefault}) {
    awake();
    modifyResampleImage.value = kControlOn;
    modifyResampleImageMax.value = kControlOn;
    resampleImageMax.text = "800";
    flipVertically.value = kControlOn;
    sheets.sheets.clear();
    controller.saveDroplet();
    ASSERT_EQ(sheets.sheets.size(), 1u);
    journal.clear();

    sheets.sheets[0].didEnd(answer);

    if (answer == kAlertAlternate) {
      EXPECT_THAT(journal, ElementsAre("modifyResampleImageMax.setState 0",
                                       "modifyResampleImage.setState 0", "modifyCropImage.setState 0",
                                       "modifyPadImage.setState 0"));
      EXPECT_THAT(tickedBoxes(), ElementsAre("flipVertically"));
    } else {
      EXPECT_THAT(journal, IsEmpty());
      EXPECT_THAT(tickedBoxes(),
                  ElementsAre("modifyResampleImageMax", "modifyResampleImage", "flipVertically"));
    }
    EXPECT_EQ(resampleImageMax.text, "800");
    EXPECT_THAT(savePanel.sheets, IsEmpty());
  }
}

TEST_F(SaveFixture, EachSaveStartsFromEmptyContainers) {
  awake();
  modifyArtist.value = kControlOn;
  artist.text = "Ann";
  createBackupImage.value = kControlOn;
  fileTypes.selected = 7;
  controller.saveDroplet();
  EXPECT_THAT(*controller.theAttributes, ElementsAre("-s", "artist", "Ann"));
  EXPECT_EQ(controller.theFileAttributes->size(), 2u);

  controller.resetToDefaults();
  addIcon.value = kControlOn;
  controller.saveDroplet();

  EXPECT_THAT(*controller.theAttributes, ElementsAre("-i"));
  EXPECT_THAT(*controller.theFileAttributes, IsEmpty());
  EXPECT_EQ(savePanel.sheets.size(), 2u);
}

TEST_F(SaveFixture, ASaveNeverCreatesContainersThatSetUpDidNotCreate) {
  addIcon.value = kControlOn;
  controller.saveDroplet();
  EXPECT_EQ(savePanel.sheets.size(), 1u);
  EXPECT_FALSE(controller.theAttributes);
  EXPECT_FALSE(controller.theFileAttributes);
}

TEST_F(SaveFixture, SaveReadsTheLiveControlsIncludingTitlesAndTypedFileTypes) {
  awake();
  modifyImageFormat.value = kControlOn;
  modifyImageQuality.value = kControlOn;
  imageFormat.selected = 4;
  imageQuality.selected = {1, 1};
  fileTypes.selected = -1;
  fileTypes.text = "CR2 nef";

  controller.saveDroplet();

  EXPECT_THAT(*controller.theAttributes,
              ElementsAre("-s", "format", "jp2", "-s", "formatOptions", "best"));
  const PropertyList& types = controller.theFileAttributes->at("NSFileTypes");
  EXPECT_EQ(types, PropertyList::stringArray({"CR2", "nef"}));
}

}  // namespace
}  // namespace lensbrook::fakes
