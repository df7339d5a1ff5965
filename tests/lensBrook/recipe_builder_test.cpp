// The recipe built from a form: one table of forms and the argument lists and type dictionaries
// they must give.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

#include "lensBrook/recipe_builder.h"

namespace lensbrook {
namespace {

using Types = std::map<std::string, PropertyList>;

struct RecipeCase {
  const char* name;
  std::function<void(DropletForm&)> fill;
  std::vector<std::string> attributes;
  Types fileAttributes;
};

PropertyList list(std::vector<std::string> items) { return PropertyList::stringArray(items); }

void PrintTo(const RecipeCase& c, std::ostream* out) { *out << c.name; }

class RecipeBuilderTest : public ::testing::TestWithParam<RecipeCase> {};

TEST_P(RecipeBuilderTest, BuildsExactlyTheExpectedRecipe) {
  DropletForm form;
  GetParam().fill(form);
  const DropletRecipe recipe = buildDropletRecipe(form);
  EXPECT_EQ(recipe.attributes, GetParam().attributes);
  EXPECT_EQ(recipe.fileAttributes, GetParam().fileAttributes);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, RecipeBuilderTest,
    ::testing::Values(
        RecipeCase{"EmptyArtistRemovesIt", [](DropletForm& f) { f.modifyArtist = true; },
                   {"-d", "artist"}, {}},
        RecipeCase{"EverythingButSizesInOrder",
                   [](DropletForm& f) {
                     f.modifyArtist = true;
                     f.artist = "Ann Lee";
                     f.modifyCopyright = true;
                     f.flipHorizontally = f.flipVertically = true;
                     f.modifyRotateImage = true;
                     f.rotateImage = "90";
                     f.modifyResampleImage = true;
                     f.resampleImageWidth = "640";
                     f.addIcon = true;
                     f.fileTypesIndex = 3;
                     f.createBackupImage = true;
                   },
                   {"-s", "artist", "Ann Lee", "-d", "copyright", "-f", "horizontal", "-f",
                    "vertical", "-r", "90", "--resampleWidth", "640", "-i"},
                   {{"NSFileTypes", list({"jpg", "jpeg"})}, {"NSBackupImage", PropertyList::string("1")}}},
        RecipeCase{"FitWithJpegForTiffFiles",
                   [](DropletForm& f) {
                     f.modifyResampleImageMax = true;
                     f.resampleImageMax = "800";
                     f.modifyImageFormat = true;
                     f.imageFormatTitle = "JPEG";
                     f.fileTypesIndex = 8;
                   },
                   {"--resampleHeightWidthMax", "800", "-s", "format", "jpeg"},
                   {{"NSFileTypes", list({"tif", "tiff"})}}},
        RecipeCase{"MetadataTextsKeptExactly",
                   [](DropletForm& f) {
                     f.modifyCopyright = f.modifyDescription = true;
                     f.copyright = " (c) 2026 ";
                     f.description = "a b";
                   },
                   {"-s", "copyright", " (c) 2026 ", "-s", "description", "a b"}, {}},
        RecipeCase{"ResampleBothSides",
                   [](DropletForm& f) {
                     f.modifyResampleImage = true;
                     f.resampleImageHeight = "480";
                     f.resampleImageWidth = "640";
                   },
                   {"-z", "480", "640"}, {}},
        RecipeCase{"ResampleHeightOnly",
                   [](DropletForm& f) {
                     f.modifyResampleImage = true;
                     f.resampleImageHeight = "480";
                   },
                   {"--resampleHeight", "480"}, {}},
        RecipeCase{"ResampleWithoutSizesAddsNothing",
                   [](DropletForm& f) { f.modifyResampleImage = true; }, {}, {}},
        RecipeCase{"FitWithEmptySizeKeepsTheEmptyOperand",
                   [](DropletForm& f) { f.modifyResampleImageMax = true; },
                   {"--resampleHeightWidthMax", ""}, {}},
        RecipeCase{"PadAndCropTakeHeightFirst",
                   [](DropletForm& f) {
                     f.modifyPadImage = f.modifyCropImage = true;
                     f.padImageHeight = "1";
                     f.padImageWidth = "2";
                     f.cropImageHeight = "3";
                     f.cropImageWidth = "4";
                   },
                   {"-p", "1", "2", "-c", "3", "4"}, {}},
        RecipeCase{"FormatAndQualityTitlesLowerCased",
                   [](DropletForm& f) {
                     f.modifyImageFormat = f.modifyImageQuality = true;
                     f.imageFormatTitle = "QTIF";
                     f.imageQualityTitle = "Best";
                   },
                   {"-s", "format", "qtif", "-s", "formatOptions", "best"}, {}},
        RecipeCase{"UntickedBoxesIgnoreTheirTexts",
                   [](DropletForm& f) {
                     f.artist = "x";
                     f.rotateImage = "90";
                     f.imageFormatTitle = "PNG";
                     f.addIcon = true;
                   },
                   {"-i"}, {}},
        RecipeCase{"TypedTypesSplitAtEverySpace",
                   [](DropletForm& f) {
                     f.fileTypesIndex = -1;
                     f.fileTypesText = " CR2  nef ";
                   },
                   {}, {{"NSFileTypes", list({"", "CR2", "", "nef", ""})}}},
        RecipeCase{"EmptyTypedTypesGiveOneEmptyEntry",
                   [](DropletForm& f) { f.fileTypesIndex = -1; }, {},
                   {{"NSFileTypes", list({""})}}},
        RecipeCase{"FixedEntryIgnoresTheText",
                   [](DropletForm& f) {
                     f.fileTypesIndex = 7;
                     f.fileTypesText = "raw";
                   },
                   {}, {{"NSFileTypes", list({"png"})}}},
        RecipeCase{"EveryTypeIgnoresTheText",
                   [](DropletForm& f) { f.fileTypesText = "raw"; }, {}, {}},
        RecipeCase{"PositionPastTheListIsTyped",
                   [](DropletForm& f) {
                     f.fileTypesIndex = 9;
                     f.fileTypesText = "heic";
                   },
                   {}, {{"NSFileTypes", list({"heic"})}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RecipeBuilder, FixedFileTypeEntries) {
  const std::vector<std::vector<std::string>> expected = {
      {"bmp"}, {"gif"}, {"jpg", "jpeg"}, {"jp2"}, {"pct", "pict"}, {"psd"}, {"png"}, {"tif", "tiff"}};
  for (int position = 1; position <= 8; ++position) {
    DropletForm form;
    form.fileTypesIndex = position;
    EXPECT_EQ(buildDropletRecipe(form).fileAttributes,
              (Types{{"NSFileTypes", list(expected[position - 1])}}))
        << position;
  }
}

TEST(RecipeBuilder, LowerCasingChangesOnlyCapitals) {
  EXPECT_EQ(lowercased("JPEG 2000-Ü"), "jpeg 2000-Ü");
  EXPECT_EQ(lowercased(""), "");
}

}  // namespace
}  // namespace lensbrook
