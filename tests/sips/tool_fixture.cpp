#include "tool_fixture.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <sstream>

extern char** environ;

namespace lensbrook::sips::testing {

namespace fs = std::filesystem;

std::string readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream data;
  data << in.rdbuf();
  return data.str();
}

ToolRun runProgram(const std::string& program, const std::vector<std::string>& args,
               const std::vector<std::string>& extraEnv) {
  std::string outPath = fs::temp_directory_path() / ("sips-test-out-" + std::to_string(::getpid()));
  std::string errPath = outPath + ".err";
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (const auto& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  std::vector<char*> envp;
  for (char** e = environ; *e; ++e) envp.push_back(*e);
  for (const auto& e : extraEnv) envp.push_back(const_cast<char*>(e.c_str()));
  envp.push_back(nullptr);
  ToolRun run;
  pid_t pid = 0;
  if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data()) == 0) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }
  posix_spawn_file_actions_destroy(&actions);
  run.out = readBytes(outPath);
  run.err = readBytes(errPath);
  ::unlink(outPath.c_str());
  ::unlink(errPath.c_str());
  return run;
}

std::vector<std::string> listFolder(const std::string& dir) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

void SipsTool::SetUpTestSuite() {
  static bool started = VIPS_INIT("sips_tool_test") == 0;
  ASSERT_TRUE(started);
}

void SipsTool::SetUp() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = std::string(info->test_suite_name()) + "-" + info->name();
  std::replace(name.begin(), name.end(), '/', '-');
  dir_ = fs::temp_directory_path() / ("sips-" + name + "-" + std::to_string(::getpid()));
  fs::remove_all(dir_);
  fs::create_directories(dir_);
}

void SipsTool::TearDown() { fs::remove_all(dir_); }

ToolRun SipsTool::sips(const std::vector<std::string>& args) const { return runProgram(SIPS_TOOL_PATH, args); }

ToolRun SipsTool::exiftool(const std::vector<std::string>& args) const { return runProgram(EXIFTOOL_PATH, args); }

std::string SipsTool::exifTag(const std::string& file, const std::string& tag) const {
  ToolRun run = exiftool({"-s3", "-" + tag, file});
  std::string value = run.out;
  while (!value.empty() && value.back() == '\n') value.pop_back();
  return value;
}

std::string SipsTool::makeImage(const std::string& name, int orientation) const {
  VipsImage* black = nullptr;
  VipsImage* srgb = nullptr;
  VipsImage* memory = nullptr;
  EXPECT_EQ(vips_black(&black, 60, 40, "bands", 3, nullptr), 0);
  EXPECT_EQ(vips_copy(black, &srgb, "interpretation", VIPS_INTERPRETATION_sRGB, nullptr), 0);
  VipsImage* uchar = nullptr;
  EXPECT_EQ(vips_cast_uchar(srgb, &uchar, nullptr), 0);
  memory = vips_image_copy_memory(uchar);
  double red[] = {255, 0, 0};
  EXPECT_EQ(vips_draw_rect(memory, red, 3, 0, 0, 6, 6, "fill", TRUE, nullptr), 0);
  if (orientation != 1) vips_image_set_int(memory, VIPS_META_ORIENTATION, orientation);
  std::string file = path(name);
  EXPECT_EQ(vips_image_write_to_file(memory, file.c_str(), nullptr), 0) << vips_error_buffer();
  for (VipsImage* image : {black, srgb, uchar, memory}) g_object_unref(image);
  return file;
}

std::string SipsTool::makeNoise(const std::string& name) const {
  VipsImage* noise = nullptr;
  VipsImage* bands = nullptr;
  VipsImage* srgb = nullptr;
  EXPECT_EQ(vips_gaussnoise(&noise, 200, 150, "mean", 128.0, "sigma", 40.0, nullptr), 0);
  VipsImage* three[] = {noise, noise, noise};
  EXPECT_EQ(vips_bandjoin(three, &bands, 3, nullptr), 0);
  EXPECT_EQ(vips_cast(bands, &srgb, VIPS_FORMAT_UCHAR, nullptr), 0);
  vips_image_set_int(srgb, "interpretation", VIPS_INTERPRETATION_sRGB);
  std::string file = path(name);
  EXPECT_EQ(vips_image_write_to_file(srgb, file.c_str(), nullptr), 0) << vips_error_buffer();
  for (VipsImage* image : {noise, bands, srgb}) g_object_unref(image);
  return file;
}

std::pair<int, int> SipsTool::sizeOf(const std::string& file) const {
  VipsImage* image = vips_image_new_from_file(file.c_str(), nullptr);
  if (!image) {
    vips_error_clear();
    return {-1, -1};
  }
  std::pair<int, int> size{image->Xsize, image->Ysize};
  g_object_unref(image);
  return size;
}

Rgb SipsTool::pixel(const std::string& file, int x, int y) const {
  VipsImage* image = vips_image_new_from_file(file.c_str(), nullptr);
  Rgb rgb{-1, -1, -1, -1};
  if (!image) {
    vips_error_clear();
    return rgb;
  }
  double* values = nullptr;
  int n = 0;
  if (vips_getpoint(image, &values, &n, x, y, nullptr) == 0) {
    bool grey = n < 3;
    rgb = {int(values[0]), int(values[grey ? 0 : 1]), int(values[grey ? 0 : 2]),
           n == 4 || n == 2 ? int(values[n - 1]) : 255};
    g_free(values);
  }
  g_object_unref(image);
  return rgb;
}

std::string SipsTool::decoded(const std::string& file) const {
  VipsImage* image = vips_image_new_from_file(file.c_str(), nullptr);
  if (!image) {
    vips_error_clear();
    return "";
  }
  size_t size = 0;
  void* data = vips_image_write_to_memory(image, &size);
  std::string bytes(static_cast<const char*>(data), size);
  g_free(data);
  g_object_unref(image);
  return bytes;
}

}  // namespace lensbrook::sips::testing
