// The built tool never loses a byte of the user's files: errors, atomic replacement, links.
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>

#include "tool_fixture.h"

namespace lensbrook::sips::testing {
namespace {

using Args = std::vector<std::string>;
namespace fs = std::filesystem;

struct FailureCase {
  Args args;  // "{in}" stands for the image, "{out}" for a fresh output path
  const char* says;
};

// Every failure is one "Error: " line naming the file or the fault, a non-zero status, the
// original byte-identical and nothing new in the folder.
TEST_F(SipsTool, FailuresChangeNothingAndSayWhyInOneLine) {
  std::string photo = makeImage("photo.jpg");
  std::string truncated = path("truncated.jpg");
  {
    std::string bytes = readBytes(photo);
    std::ofstream(truncated, std::ios::binary) << bytes.substr(0, bytes.size() / 2);
  }
  std::ofstream(path("notes.jpg")) << "not an image at all";
  fs::create_directory(path("folder.jpg"));
  const FailureCase cases[] = {
      {{"-z", "abc", "10", "{in}"}, "bad size \"abc\""},
      {{"-z", "", "10", "{in}"}, "bad size \"\""},
      {{"-c", "0", "10", "{in}"}, "bad size \"0\""},
      {{"-p", "-5", "10", "{in}"}, "bad size \"-5\""},
      {{"--resampleWidth", "1e9", "{in}"}, "bad size \"1e9\""},
      {{"--resampleHeightWidthMax", "12.5", "{in}"}, "bad size \"12.5\""},
      {{"-r", "abc", "{in}"}, "bad angle"},
      {{"--frobnicate", "{in}"}, "unknown option"},
      {{"{in}", "-c", "10"}, "needs a size"},
      {{"-s", "format", "webp", "{in}"}, "unsupported format"},
      {{"-s", "format", "bmp", "-s", "artist", "A", "{in}", "--out", "{out}"}, "bmp files cannot hold artist"},
      {{"-f", "vertical", "{dir}/missing.jpg"}, "missing.jpg: cannot read"},
      {{"-f", "vertical", "{dir}/notes.jpg"}, "notes.jpg: "},
      {{"-s", "artist", "A", "{dir}/notes.jpg"}, "notes.jpg: "},
      {{"-f", "vertical", "{dir}/folder.jpg"}, "folder.jpg: not a file"},
      {{"-f", "vertical", "{dir}/truncated.jpg"}, "truncated.jpg: "},
      {{"-f", "vertical", "{in}", "--out", "{dir}/no/such/folder/x.jpg"}, "cannot write in"},
      {{"--resampleWidth", "65500", "-z", "65500", "1", "{in}"}, "too large"},
  };
  std::vector<std::string> before = listFolder(dir_.string());
  std::string original = readBytes(photo);
  std::string brokenOriginal = readBytes(truncated);
  for (const auto& c : cases) {
    Args args;
    for (std::string arg : c.args) {
      if (arg == "{in}") arg = photo;
      if (arg == "{out}") arg = path("out.gif");
      if (arg.starts_with("{dir}")) arg = dir_.string() + arg.substr(5);
      args.push_back(arg);
    }
    std::string label = ::testing::PrintToString(c.args);
    ToolRun run = sips(args);
    EXPECT_NE(run.status, 0) << label;
    EXPECT_TRUE(run.err.starts_with("Error: ")) << label << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << label << run.err;
    EXPECT_NE(run.err.find(c.says), std::string::npos) << label << run.err;
    EXPECT_EQ(run.out, "") << label;
    EXPECT_TRUE(readBytes(photo) == original) << label;
    EXPECT_TRUE(readBytes(truncated) == brokenOriginal) << label;
    EXPECT_EQ(listFolder(dir_.string()), before) << label;
  }
}

// --out may be the input itself, a folder, or a new file; the input is replaced only in place.
TEST_F(SipsTool, ResultsGoWhereTheyAreAsked) {
  std::string photo = makeImage("photo.png");
  fs::create_directory(path("outbox"));
  const std::pair<Args, std::string> cases[] = {
      {{"--out", photo}, photo},
      {{"--out", path("outbox")}, path("outbox/photo.png")},
      {{"--out", path("new.png")}, path("new.png")},
      {{}, photo},
  };
  for (const auto& [out, written] : cases) {
    std::string original = readBytes(photo);
    Args args{"-f", "horizontal", photo};
    args.insert(args.end(), out.begin(), out.end());
    ToolRun run = sips(args);
    ASSERT_EQ(run.status, 0) << written << run.err;
    EXPECT_TRUE(readBytes(written) != original) << written;
    if (written != photo) {
      EXPECT_TRUE(readBytes(photo) == original) << written;
    }
  }
  EXPECT_EQ(listFolder(dir_.string()), (std::vector<std::string>{"new.png", "outbox", "photo.png"}));
}

TEST_F(SipsTool, ALinkedItemHasItsFileReplacedAndStaysALink) {
  std::string real = makeImage("real.png");
  fs::create_directory(path("links"));
  std::string link = path("links/link.png");
  fs::create_symlink("../real.png", link);
  ::chmod(real.c_str(), 0640);
  std::string original = readBytes(real);
  ToolRun run = sips({"-f", "vertical", link});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(fs::read_symlink(link), "../real.png");
  EXPECT_TRUE(readBytes(real) != original);
  EXPECT_EQ(fs::status(real).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  EXPECT_EQ(listFolder(dir_.string()), (std::vector<std::string>{"links", "real.png"}));
  EXPECT_EQ(listFolder(path("links")), (std::vector<std::string>{"link.png"}));
}

// A file claiming to be 30000 x 30000 pixels is probed from its header alone and fails cleanly
// when its data runs out; it never takes the machine down.
TEST_F(SipsTool, AHugeClaimedImageFailsCleanly) {
  std::string photo = makeImage("photo.jpg");
  std::string bytes = readBytes(photo);
  std::size_t frame = bytes.find("\xff\xc0");
  ASSERT_NE(frame, std::string::npos);
  bytes.replace(frame + 5, 4, "\x75\x30\x75\x30");
  std::string bomb = path("bomb.jpg");
  std::ofstream(bomb, std::ios::binary) << bytes;
  ToolRun probe = sips({"-g", "pixelHeight", "-g", "pixelWidth", bomb});
  EXPECT_EQ(probe.out, bomb + "\n  pixelHeight: 30000\n  pixelWidth: 30000\n") << probe.err;
  ToolRun run = sips({"-f", "horizontal", "-s", "format", "png", bomb});
  EXPECT_NE(run.status, 0);
  EXPECT_TRUE(run.err.starts_with("Error: ")) << run.err;
  EXPECT_TRUE(readBytes(bomb) == bytes);
  EXPECT_EQ(listFolder(dir_.string()), (std::vector<std::string>{"bomb.jpg", "photo.jpg"}));
}

// Killed while writing, the tool takes its temporary file away and the folder holds only what
// it held before, or the finished result if the work won the race.
TEST_F(SipsTool, AKillMidWriteLeavesNoTemporaryFile) {
  std::string source = path("noise.png");
  VipsImage* noise = nullptr;
  ASSERT_EQ(vips_gaussnoise(&noise, 3000, 3000, nullptr), 0);
  ASSERT_EQ(vips_image_write_to_file(noise, source.c_str(), nullptr), 0);
  g_object_unref(noise);
  std::string original = readBytes(source);
  std::string out = path("out.tif");
  std::vector<std::string> args{SIPS_TOOL_PATH, "-r", "33", "-s", "format", "tiff", source, "--out", out};
  std::vector<char*> argv;
  for (auto& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  ASSERT_EQ(posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ), 0);
  ::usleep(300 * 1000);
  ::kill(pid, SIGTERM);
  int status = 0;
  ::waitpid(pid, &status, 0);
  bool finished = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  EXPECT_TRUE(readBytes(source) == original);
  std::vector<std::string> expected{"noise.png"};
  if (finished) expected = {"noise.png", "out.tif"};
  EXPECT_EQ(listFolder(dir_.string()), expected);
}

}  // namespace
}  // namespace lensbrook::sips::testing
