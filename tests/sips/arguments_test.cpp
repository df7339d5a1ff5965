#include "sips/arguments.h"

#include <gtest/gtest.h>

namespace lensbrook::sips {
namespace {

using Kind = Operation::Kind;
using Args = std::vector<std::string>;

Operation op(Kind kind, int height = 0, int width = 0, double angle = 0) {
  Operation o{kind};
  o.height = height;
  o.width = width;
  o.angle = angle;
  return o;
}

struct PlanCase {
  Args args;
  std::vector<Operation> operations;
};

// Every list the editor can write, plus the orders it allows, parse to the operations in order.
TEST(SipsArguments, OperationsComeOutInTheOrderGiven) {
  const PlanCase cases[] = {
      {{"-f", "horizontal", "-f", "vertical", "a"}, {op(Kind::FlipHorizontal), op(Kind::FlipVertical)}},
      {{"-r", "-12.5", "a"}, {op(Kind::Rotate, 0, 0, -12.5)}},
      {{"-r", "90", "-c", "10", "20", "a"}, {op(Kind::Rotate, 0, 0, 90), op(Kind::Crop, 10, 20)}},
      {{"-p", "100", "200", "a"}, {op(Kind::Pad, 100, 200)}},
      {{"-z", "30", "40", "a"}, {op(Kind::Resample, 30, 40)}},
      {{"--resampleWidth", "640", "a"}, {op(Kind::ResampleWidth, 0, 640)}},
      {{"--resampleHeight", "480", "a"}, {op(Kind::ResampleHeight, 480, 0)}},
      {{"--resampleHeightWidthMax", "800", "-s", "format", "jpeg", "a"}, {op(Kind::ResampleMax, 800, 800)}},
      {{"-s", "artist", "A", "-d", "copyright", "-i", "a"}, {}},
  };
  for (const auto& c : cases) {
    auto parsed = parseArguments(c.args);
    ASSERT_TRUE(std::holds_alternative<Plan>(parsed)) << c.args[0] << ": " << std::get<std::string>(parsed);
    EXPECT_EQ(std::get<Plan>(parsed).operations, c.operations) << c.args[0];
  }
}

TEST(SipsArguments, FullEditorListBecomesOnePlan) {
  Args args{"-s", "artist", " Ann  (studio) ", "-d", "copyright", "-s", "description", "format",
            "-f", "horizontal", "-r", "45", "--resampleWidth", "100", "-i", "-s", "format", "png",
            "-s", "formatOptions", "best", "/in/a.tif", "--out", "/out/a.png"};
  auto plan = std::get<Plan>(parseArguments(args));
  std::vector<MetadataEdit> metadata{{Property::Artist, " Ann  (studio) "},
                                     {Property::Copyright, std::nullopt},
                                     {Property::Description, "format"}};
  EXPECT_EQ(plan.metadata, metadata);
  EXPECT_EQ(plan.format, Format::Png);
  EXPECT_EQ(plan.quality, (Quality{Quality::Level::Best, 0}));
  EXPECT_TRUE(plan.addIcon);
  EXPECT_EQ(plan.inputs, Args{"/in/a.tif"});
  EXPECT_EQ(plan.out, "/out/a.png");
  EXPECT_EQ(plan.operations.size(), 3u);
  EXPECT_TRUE(plan.needsPixels());
}

TEST(SipsArguments, ProbeAndMetadataOnlyPlansNeedNoPixels) {
  auto probe = std::get<Plan>(parseArguments({"-g", "pixelHeight", "-g", "pixelWidth", "/a.jpg"}));
  EXPECT_EQ(probe.queries, (std::vector<Query>{Query::PixelHeight, Query::PixelWidth}));
  EXPECT_FALSE(probe.writes());
  auto metadata = std::get<Plan>(parseArguments({"-d", "artist", "/a.jpg"}));
  EXPECT_TRUE(metadata.writes());
  EXPECT_FALSE(metadata.needsPixels());
}

TEST(SipsArguments, QualityWordsAndPercentagesMapToEncoderQuality) {
  const std::pair<const char*, int> cases[] = {{"low", 30},  {"normal", 60}, {"high", 80}, {"best", 100},
                                               {"default", 85}, {"1", 1},     {"75%", 75}, {"100", 100}};
  for (const auto& [text, percent] : cases) {
    auto plan = std::get<Plan>(parseArguments({"-s", "formatOptions", text, "a"}));
    EXPECT_EQ(qualityPercent(*plan.quality), percent) << text;
  }
}

// Texts the editor passes unchecked must each give one clear sentence, never a plan.
TEST(SipsArguments, BadCommandLinesGiveOneSentence) {
  const std::pair<Args, const char*> cases[] = {
      {{"-z", "abc", "10", "a"}, "bad size \"abc\""},
      {{"-z", "", "10", "a"}, "bad size \"\""},
      {{"-z", "0", "10", "a"}, "bad size \"0\""},
      {{"-p", "10", "-5", "a"}, "bad size \"-5\""},
      {{"-c", "1e9", "10", "a"}, "bad size \"1e9\""},
      {{"--resampleWidth", "12.5", "a"}, "bad size \"12.5\""},
      {{"--resampleHeightWidthMax", "", "a"}, "bad size \"\""},
      {{"--resampleHeight", "65501", "a"}, "bad size \"65501\""},
      {{"--resampleWidth", " 5", "a"}, "bad size \" 5\""},
      {{"-r", "abc", "a"}, "bad angle \"abc\""},
      {{"-r", "", "a"}, "bad angle \"\""},
      {{"-r", "1e9", "a"}, "bad angle \"1e9\""},
      {{"-r", "nan", "a"}, "bad angle \"nan\""},
      {{"-f", "sideways", "a"}, "bad flip direction"},
      {{"-s", "format", "JPEG", "a"}, "unsupported format \"JPEG\""},
      {{"-s", "format", "webp", "a"}, "unsupported format \"webp\""},
      {{"-s", "formatOptions", "0", "a"}, "bad quality \"0\""},
      {{"-s", "formatOptions", "101", "a"}, "bad quality \"101\""},
      {{"-s", "title", "x", "a"}, "unknown property \"title\""},
      {{"-d", "format", "a"}, "cannot delete property \"format\""},
      {{"-g", "dpiWidth", "a"}, "unknown property \"dpiWidth\""},
      {{"--bogus", "a"}, "unknown option --bogus"},
      {{"a", "-z", "10"}, "-z needs a size"},
      {{"a", "-s", "artist"}, "-s artist needs a value"},
      {{"a", "--out"}, "--out needs a path"},
      {{"--out", "", "a"}, "empty path"},
      {{"-f", "horizontal"}, "no image file given"},
      {{"a"}, "nothing to do"},
  };
  for (const auto& [args, expected] : cases) {
    auto parsed = parseArguments(args);
    ASSERT_TRUE(std::holds_alternative<std::string>(parsed)) << expected;
    EXPECT_NE(std::get<std::string>(parsed).find(expected), std::string::npos)
        << std::get<std::string>(parsed) << " / " << expected;
  }
}

TEST(SipsArguments, AnglesAreAnyDecimal) {
  for (const char* text : {"0", "-0", "+7", ".5", "359.999", "-720", "123456789.25"}) {
    auto parsed = parseArguments({"-r", text, "a"});
    ASSERT_TRUE(std::holds_alternative<Plan>(parsed)) << text;
    EXPECT_DOUBLE_EQ(std::get<Plan>(parsed).operations[0].angle, std::stod(text)) << text;
  }
}

TEST(SipsArguments, DoubleDashEndsOptions) {
  auto plan = std::get<Plan>(parseArguments({"-f", "vertical", "--", "-odd name.jpg"}));
  EXPECT_EQ(plan.inputs, Args{"-odd name.jpg"});
}

}  // namespace
}  // namespace lensbrook::sips
