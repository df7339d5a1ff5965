// The built tool on real images: geometry of every operation, every output format, quality.
#include "tool_fixture.h"

namespace lensbrook::sips::testing {
namespace {

using Args = std::vector<std::string>;

enum class Colour { Red, Black, White, Clear };

bool matches(Rgb p, Colour colour) {
  switch (colour) {
    case Colour::Red: return p.r > 180 && p.g < 80 && p.b < 80 && p.a > 200;
    case Colour::Black: return p.r < 40 && p.g < 40 && p.b < 40 && p.a > 200;
    case Colour::White: return p.r > 220 && p.g > 220 && p.b > 220 && p.a > 200;
    case Colour::Clear: return p.a == 0;
  }
  return false;
}

struct GeometryCase {
  Args ops;
  int width, height;
  // Colour at the result's four corners: top-left, top-right, bottom-left, bottom-right.
  Colour corners[4];
};

constexpr Colour R = Colour::Red, K = Colour::Black, W = Colour::White, C = Colour::Clear;

// The source is 60 x 40 with a red block in its top-left corner, so where the block ends up
// tells how the pixels moved.
TEST_F(SipsTool, EachOperationGivesTheGeometryUsersSee) {
  const GeometryCase cases[] = {
      {{"-f", "horizontal"}, 60, 40, {K, R, K, K}},
      {{"-f", "vertical"}, 60, 40, {K, K, R, K}},
      {{"-f", "horizontal", "-f", "vertical"}, 60, 40, {K, K, K, R}},
      {{"-r", "90"}, 40, 60, {K, R, K, K}},
      {{"-r", "-90"}, 40, 60, {K, K, R, K}},
      {{"-r", "180"}, 60, 40, {K, K, K, R}},
      {{"-r", "450"}, 40, 60, {K, R, K, K}},
      {{"-r", "0"}, 60, 40, {R, K, K, K}},
      {{"-r", "45"}, 71, 71, {C, C, C, C}},
      {{"-p", "100", "80"}, 80, 100, {C, C, C, C}},
      {{"-p", "100", "80", "-s", "format", "jpeg"}, 80, 100, {W, W, W, W}},
      {{"-p", "20", "30"}, 30, 20, {K, K, K, K}},
      {{"-c", "20", "30"}, 30, 20, {K, K, K, K}},
      {{"-c", "100", "30"}, 30, 40, {K, K, K, K}},
      {{"-c", "100", "100"}, 60, 40, {R, K, K, K}},
      {{"-z", "30", "90"}, 90, 30, {R, K, K, K}},
      {{"--resampleWidth", "30"}, 30, 20, {R, K, K, K}},
      {{"--resampleHeight", "80"}, 120, 80, {R, K, K, K}},
      {{"--resampleHeightWidthMax", "30"}, 30, 20, {R, K, K, K}},
      {{"--resampleHeightWidthMax", "120"}, 120, 80, {R, K, K, K}},
      {{"-c", "20", "30", "-r", "90"}, 20, 30, {K, K, K, K}},
      {{"-r", "90", "--resampleWidth", "20"}, 20, 30, {K, R, K, K}},
      {{"-f", "vertical", "-z", "20", "30", "-f", "horizontal"}, 30, 20, {K, K, K, R}},
  };
  std::string source = makeImage("source.png");
  int n = 0;
  for (const auto& c : cases) {
    std::string out = path("out" + std::to_string(n++) + ".png");
    Args args = c.ops;
    args.insert(args.end(), {source, "--out", out});
    ToolRun run = sips(args);
    std::string label = ::testing::PrintToString(c.ops);
    ASSERT_EQ(run.status, 0) << label << run.err;
    EXPECT_EQ(sizeOf(out), std::make_pair(c.width, c.height)) << label;
    const std::pair<int, int> at[4] = {{0, 0}, {c.width - 1, 0}, {0, c.height - 1}, {c.width - 1, c.height - 1}};
    for (int i = 0; i < 4; ++i) {
      Rgb p = pixel(out, at[i].first, at[i].second);
      EXPECT_TRUE(matches(p, c.corners[i])) << label << " corner " << i << ": " << p.r << "," << p.g << ","
                                            << p.b << "," << p.a;
    }
  }
}

struct FormatCase {
  const char* name;
  std::size_t offset;
  std::string magic;
};

// Every format is recognised by its own signature, probed by size, and read back by the tool.
TEST_F(SipsTool, EachOutputFormatIsWrittenAndReadBack) {
  const FormatCase cases[] = {
      {"jpeg", 0, "\xff\xd8\xff"},
      {"tiff", 0, std::string("II*\0", 4)},
      {"png", 0, "\x89PNG\r\n\x1a\n"},
      {"gif", 0, "GIF8"},
      {"jp2", 0, std::string("\0\0\0\x0cjP  ", 8)},
      {"bmp", 0, "BM"},
      {"psd", 0, "8BPS"},
      {"pict", 522, std::string("\x00\x11\x02\xff", 4)},
      {"qtif", 4, "idsc"},
  };
  std::string source = makeImage("source.png");
  for (const auto& c : cases) {
    std::string out = path(std::string("out.") + c.name);
    ToolRun run = sips({"-s", "format", c.name, source, "--out", out});
    ASSERT_EQ(run.status, 0) << c.name << run.err;
    EXPECT_EQ(readBytes(out).substr(c.offset, c.magic.size()), c.magic) << c.name;

    ToolRun probe = sips({"-g", "pixelHeight", "-g", "pixelWidth", out});
    EXPECT_EQ(probe.out, out + "\n  pixelHeight: 40\n  pixelWidth: 60\n") << c.name << probe.err;

    std::string back = path(std::string("back-") + c.name + ".png");
    ToolRun convert = sips({"-s", "format", "png", out, "--out", back});
    ASSERT_EQ(convert.status, 0) << c.name << convert.err;
    EXPECT_EQ(sizeOf(back), std::make_pair(60, 40)) << c.name;
    EXPECT_TRUE(matches(pixel(back, 1, 1), Colour::Red)) << c.name;
    EXPECT_TRUE(matches(pixel(back, 50, 30), Colour::Black)) << c.name;
  }
}

TEST_F(SipsTool, QualityScalesLossyFormatsAndLeavesLosslessPixelsAlone) {
  std::string source = makeNoise("source.png");
  // Each step up costs bytes, except that the best JPEG 2000 is lossless instead.
  for (const char* format : {"jpeg", "jp2"}) {
    std::size_t previous = 0;
    for (const char* quality : {"low", "normal", "high", "best"}) {
      std::string out = path(std::string(quality) + "." + format);
      ToolRun run = sips({"-s", "format", format, "-s", "formatOptions", quality, source, "--out", out});
      ASSERT_EQ(run.status, 0) << format << quality << run.err;
      std::size_t size = readBytes(out).size();
      if (std::string(format) == "jp2" && std::string(quality) == "best") {
        EXPECT_EQ(decoded(out), decoded(source));
      } else {
        EXPECT_GT(size, previous) << format << " " << quality;
      }
      previous = size;
    }
  }
  for (const char* format : {"png", "tiff", "gif"}) {
    std::string low = path(std::string("low.") + format);
    std::string best = path(std::string("best.") + format);
    ASSERT_EQ(sips({"-s", "format", format, "-s", "formatOptions", "low", source, "--out", low}).status, 0);
    ASSERT_EQ(sips({"-s", "format", format, "-s", "formatOptions", "best", source, "--out", best}).status, 0);
    EXPECT_EQ(decoded(low), decoded(best)) << format;
    EXPECT_FALSE(decoded(low).empty()) << format;
  }
}

struct ColourCase {
  const char* source;
  const char* format;
  VipsInterpretation interpretation;
  bool profile;
};

// Profiles stay where the output keeps one; CMYK stays CMYK only in jpeg and tiff; elsewhere the
// pixels are converted to sRGB so they look the same without a profile.
TEST_F(SipsTool, ColoursSurviveFormatsWithAndWithoutProfiles) {
  std::string plain = makeNoise("plain.jpg");
  for (const char* name : {"cmyk.jpg", "profiled.jpg"}) {
    VipsImage* in = vips_image_new_from_file(plain.c_str(), nullptr);
    VipsImage* out = nullptr;
    const char* profile = std::string(name) == "cmyk.jpg" ? "cmyk" : "p3";
    ASSERT_EQ(vips_icc_transform(in, &out, profile, "input_profile", "srgb", nullptr), 0) << vips_error_buffer();
    ASSERT_EQ(vips_image_write_to_file(out, path(name).c_str(), nullptr), 0);
    g_object_unref(in);
    g_object_unref(out);
  }
  const ColourCase cases[] = {
      {"cmyk.jpg", "jpeg", VIPS_INTERPRETATION_CMYK, true},
      {"cmyk.jpg", "tiff", VIPS_INTERPRETATION_CMYK, true},
      {"cmyk.jpg", "png", VIPS_INTERPRETATION_sRGB, false},
      {"cmyk.jpg", "gif", VIPS_INTERPRETATION_sRGB, false},
      {"profiled.jpg", "png", VIPS_INTERPRETATION_sRGB, true},
      {"profiled.jpg", "jpeg", VIPS_INTERPRETATION_sRGB, true},
      {"profiled.jpg", "gif", VIPS_INTERPRETATION_sRGB, false},
      {"profiled.jpg", "jp2", VIPS_INTERPRETATION_sRGB, false},
  };
  for (const auto& c : cases) {
    std::string out = path(std::string("out-") + c.source + "." + c.format);
    ToolRun run = sips({"-f", "horizontal", "-s", "format", c.format, path(c.source), "--out", out});
    ASSERT_EQ(run.status, 0) << c.source << c.format << run.err;
    VipsImage* image = vips_image_new_from_file(out.c_str(), nullptr);
    ASSERT_NE(image, nullptr) << out;
    EXPECT_EQ(vips_image_guess_interpretation(image), c.interpretation) << out;
    EXPECT_EQ(vips_image_get_typeof(image, VIPS_META_ICC_NAME) != 0, c.profile) << out;
    g_object_unref(image);
  }
  // Converted rather than relabelled: a mid grey stays a mid grey.
  Rgb before = pixel(plain, 100, 75);
  Rgb after = pixel(path("out-cmyk.jpg.png"), 99, 75);
  EXPECT_NEAR(after.r, before.r, 40);
  EXPECT_NEAR(after.g, before.g, 40);
}

// A JPEG whose EXIF says "turn right" is probed and processed as the user sees it.
TEST_F(SipsTool, PixelWorkTurnsPhotosUprightFirst) {
  std::string photo = makeImage("photo.jpg", 6);
  ToolRun probe = sips({"-g", "pixelHeight", "-g", "pixelWidth", photo});
  EXPECT_EQ(probe.out, photo + "\n  pixelHeight: 60\n  pixelWidth: 40\n");

  std::string flipped = path("flipped.jpg");
  ASSERT_EQ(sips({"-f", "horizontal", photo, "--out", flipped}).status, 0);
  EXPECT_EQ(sizeOf(flipped), std::make_pair(40, 60));
  EXPECT_EQ(exifTag(flipped, "Orientation#"), "1");
  // Turned right, the red corner is top-right; mirrored, it is back at the top-left.
  EXPECT_TRUE(matches(pixel(flipped, 1, 1), Colour::Red));

  std::string tagged = path("tagged.jpg");
  ASSERT_EQ(sips({"-s", "artist", "A", photo, "--out", tagged}).status, 0);
  EXPECT_EQ(exifTag(tagged, "Orientation#"), "6");
  EXPECT_EQ(sizeOf(tagged), std::make_pair(60, 40));
}

}  // namespace
}  // namespace lensbrook::sips::testing
