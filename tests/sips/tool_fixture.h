// Runs the built tool on images the test makes with libvips, in a fresh folder per test.
#pragma once

#include <gtest/gtest.h>
#include <vips/vips.h>

#include <filesystem>
#include <string>
#include <vector>

namespace lensbrook::sips::testing {

struct ToolRun {
  int status = -1;
  std::string out;
  std::string err;
};

// Runs `program` with `args`, with `extraEnv` ("NAME=value") added to the environment.
ToolRun runProgram(const std::string& program, const std::vector<std::string>& args,
               const std::vector<std::string>& extraEnv = {});

std::string readBytes(const std::string& path);

// Every name in `dir` (hidden ones included), sorted.
std::vector<std::string> listFolder(const std::string& dir);

// An RGB pixel.
struct Rgb {
  int r, g, b, a;
};

class SipsTool : public ::testing::Test {
 protected:
  static void SetUpTestSuite();
  void SetUp() override;
  void TearDown() override;

  ToolRun sips(const std::vector<std::string>& args) const;
  ToolRun exiftool(const std::vector<std::string>& args) const;
  // The tag's value as exiftool prints it, or "" when absent.
  std::string exifTag(const std::string& path, const std::string& tag) const;

  // A 60 x 40 black image with a red 6 x 6 block at its top-left corner, saved with `saver`
  // options by file name (vips_image_write_to_file), optionally with an EXIF orientation.
  std::string makeImage(const std::string& name, int orientation = 1) const;
  // A 200 x 150 image of colour noise, which gives lossy encoders work at every quality.
  std::string makeNoise(const std::string& name) const;
  // (width, height) of an image as libvips reads it, without the tool.
  std::pair<int, int> sizeOf(const std::string& path) const;
  Rgb pixel(const std::string& path, int x, int y) const;
  // The decoded pixels, for comparing two files.
  std::string decoded(const std::string& path) const;

  std::string path(const std::string& name) const { return (dir_ / name).string(); }

  std::filesystem::path dir_;
};

}  // namespace lensbrook::sips::testing
