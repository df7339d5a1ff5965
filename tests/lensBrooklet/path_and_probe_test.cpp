#include <gtest/gtest.h>

#include <limits>

#include "lensBrooklet/path_names.h"
#include "shared/path_text.h"
#include "lensBrooklet/probe_output.h"

namespace lensbrook {
namespace {

TEST(PathNamesTest, NamesExtensionsAndStems) {
  const struct {
    std::string path, last, extension, stem;
  } cases[] = {
      {"/in/scan.tiff", "scan.tiff", "tiff", "/in/scan"},
      {"/in/scan", "scan", "", "/in/scan"},
      {"/in/Scan.JPG", "Scan.JPG", "JPG", "/in/Scan"},
      {"/in/v1.2/scan", "scan", "", "/in/v1.2/scan"},
      {"/in/a.b.png", "a.b.png", "png", "/in/a.b"},
      {"/in/A/.cache", ".cache", "cache", "/in/A/"},
      {"/in/dot.", "dot.", "", "/in/dot"},
      {"/in/folder.d/", "folder.d", "d", "/in/folder"},
      {"name with\nnewline.jpg", "name with\nnewline.jpg", "jpg", "name with\nnewline"},
      {"/", "/", "", "/"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(lastPathComponent(c.path), c.last);
    EXPECT_EQ(pathExtension(c.path), c.extension);
    EXPECT_EQ(deletingPathExtension(c.path), c.stem);
  }
  EXPECT_EQ(asciiLowercase("JPG.Tiff\xC3\x89"), "jpg.tiff\xC3\x89");
}

TEST(ProbeOutputTest, IntegerValueReadsLikeTheToolsCallersExpect) {
  constexpr auto kMax = std::numeric_limits<std::int32_t>::max();
  constexpr auto kMin = std::numeric_limits<std::int32_t>::min();
  const struct {
    std::string text;
    std::int32_t value;
  } cases[] = {
      {"800", 800},     {"  \t800px", 800}, {"-12", -12},         {"+7", 7},
      {"abc", 0},       {"", 0},            {"- 5", 0},           {"2147483647", kMax},
      {"99999999999999999999", kMax},       {"-99999999999999999999", kMin}, {"12 34", 12},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(integerValue(c.text), c.value);
  }
}

TEST(ProbeOutputTest, ValueLinesAreFoundByTheirFirstLabel) {
  const std::string output = "/in/a.tif\n  pixelHeight: 480\n  pixelWidth: 640\n  pixelHeight: 9\n";
  EXPECT_EQ(probeValue(output, "pixelHeight: "), 480);
  EXPECT_EQ(probeValue(output, "pixelWidth: "), 640);
  EXPECT_EQ(probeValue("pixelWidth: 12", "pixelWidth: "), 12);
  EXPECT_EQ(probeValue("pixelWidth:12\n", "pixelWidth: "), std::nullopt);
  EXPECT_EQ(probeValue("caf\xC3\xA9\n pixelWidth: 12\n\x80", "pixelWidth: "), 12);
  EXPECT_EQ(probeValue(std::string("pixelWidth: \0 7\n", 16), "pixelWidth: "), 0);
}

}  // namespace
}  // namespace lensbrook
