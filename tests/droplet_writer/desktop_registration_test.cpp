#include "platform/posix/desktop_registration.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/posix/posix_file_system.h"
#include "tests/fakes/fake_services.h"

namespace lensbrook {
namespace {

namespace fs = std::filesystem;

std::string slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string lineStartingWith(const std::string& text, const std::string& prefix) {
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);)
    if (line.starts_with(prefix)) return line;
  return {};
}

class DesktopRegistrationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/lensbrook-registration-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root = pattern;
  }
  void TearDown() override { fs::remove_all(root); }

  fs::path root;
  PosixFileSystem files;
  fakes::RecordingLog log;
};

// The entry as written, for names that must survive both the desktop entry's escapes and its
// Exec quoting.
TEST_F(DesktopRegistrationTest, EntryQuotesEveryCharacterOfThePath) {
  struct Row {
    std::string bundle, name, exec, icon;
  };
  const std::vector<Row> rows = {
      {"/home/u/Desktop/Holiday.app", "Name=Holiday", R"(Exec="/home/u/Desktop/Holiday.app/AppRun" %F)",
       "Icon=/home/u/Desktop/Holiday.app/lensBrooklet.svg"},
      {"/home/u/My Photos/Web.app", "Name=Web", R"(Exec="/home/u/My Photos/Web.app/AppRun" %F)",
       "Icon=/home/u/My Photos/Web.app/lensBrooklet.svg"},
      {R"(/d/Say "hi" $HOME `x`.app)", R"(Name=Say "hi" $HOME `x`)",
       R"(Exec="/d/Say \\"hi\\" \\$HOME \\`x\\`.app/AppRun" %F)", R"(Icon=/d/Say "hi" $HOME `x`.app/lensBrooklet.svg)"},
      {R"(/d/back\slash.app)", R"(Name=back\\slash)", R"(Exec="/d/back\\\\slash.app/AppRun" %F)",
       R"(Icon=/d/back\\slash.app/lensBrooklet.svg)"},
      {"/d/line\nbreak.app", R"(Name=line\nbreak)", R"(Exec="/d/line\nbreak.app/AppRun" %F)",
       R"(Icon=/d/line\nbreak.app/lensBrooklet.svg)"},
      {"/d/50% off.app", "Name=50% off", R"(Exec=/usr/bin/env "/d/50%% off.app/AppRun" %F)",
       "Icon=/d/50% off.app/lensBrooklet.svg"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.bundle);
    const std::string entry = dropletDesktopEntry(row.bundle);
    EXPECT_EQ(lineStartingWith(entry, "Name="), row.name);
    EXPECT_EQ(lineStartingWith(entry, "Exec="), row.exec);
    EXPECT_EQ(lineStartingWith(entry, "Icon="), row.icon);
    EXPECT_NE(lineStartingWith(entry, "MimeType=").find("image/jpeg;"), std::string::npos);
    EXPECT_EQ(lineStartingWith(entry, "MimeType=").find("inode/directory"), std::string::npos);
  }
}

TEST_F(DesktopRegistrationTest, OneEntryPerBundleRefreshedOnEverySave) {
  const fs::path applications = root / "data/applications";  // made on first use
  PosixDesktopRegistration registration(files, log, applications);
  ASSERT_TRUE(registration.registerDroplet("/d/One.app"));
  ASSERT_TRUE(registration.registerDroplet("/d/One.app"));
  ASSERT_TRUE(registration.registerDroplet("/d/Two.app"));

  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(applications)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  std::vector<std::string> expected = {dropletDesktopEntryName("/d/One.app"), dropletDesktopEntryName("/d/Two.app")};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(names, expected);
  EXPECT_EQ(slurp(applications / dropletDesktopEntryName("/d/Two.app")), dropletDesktopEntry("/d/Two.app"));
  EXPECT_TRUE(log.lines.empty());
}

TEST_F(DesktopRegistrationTest, FailureIsOneLogLineAndNoEntry) {
  std::ofstream(root / "applications") << "a file where the folder should be";
  for (const std::string& dir : {(root / "applications").string(), std::string()}) {
    SCOPED_TRACE(dir);
    log.lines.clear();
    PosixDesktopRegistration registration(files, log, dir);
    EXPECT_FALSE(registration.registerDroplet("/d/One.app"));
    EXPECT_EQ(log.lines.size(), 1u);
  }
  EXPECT_EQ(slurp(root / "applications"), "a file where the folder should be");
}

TEST_F(DesktopRegistrationTest, ApplicationsFolderFollowsTheDataHome) {
  struct Row {
    const char* dataHome;
    const char* home;
    std::string expected;
  };
  const Row rows[] = {
      {"/x/data", "/h", "/x/data/applications"},
      {"relative/data", "/h", "/h/.local/share/applications"},
      {nullptr, "/h", "/h/.local/share/applications"},
      {nullptr, nullptr, ""},
  };
  const std::string savedHome = std::getenv("HOME") ? std::getenv("HOME") : "";
  for (const Row& row : rows) {
    SCOPED_TRACE(row.expected);
    row.dataHome ? setenv("XDG_DATA_HOME", row.dataHome, 1) : unsetenv("XDG_DATA_HOME");
    row.home ? setenv("HOME", row.home, 1) : unsetenv("HOME");
    EXPECT_EQ(userApplicationsDir(), row.expected);
  }
  setenv("HOME", savedHome.c_str(), 1);
  unsetenv("XDG_DATA_HOME");
}

// GLib's own launcher reads the entry and starts the droplet with the files, each one argument.
TEST_F(DesktopRegistrationTest, DesktopLauncherStartsTheDropletWithTheFiles) {
  if (!fs::exists("/usr/bin/gio")) GTEST_SKIP() << "gio is not installed";
  const std::vector<std::string> bundleNames = {"Holiday.app", R"(Say "hi" $HOME `x` back\slash.app)",
                                                "50% off.app"};
  for (const std::string& name : bundleNames) {
    SCOPED_TRACE(name);
    const fs::path bundle = root / name;
    const fs::path received = root / "received";
    fs::remove(received);
    fs::create_directories(bundle);
    std::ofstream(bundle / "AppRun") << "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > '"
                                     << received.string() << ".part' && mv '" << received.string() << ".part' '"
                                     << received.string() << "'\n";
    fs::permissions(bundle / "AppRun", fs::perms::owner_all);
    PosixDesktopRegistration registration(files, log, root / "applications");
    ASSERT_TRUE(registration.registerDroplet(bundle));

    const std::string entry = (root / "applications" / dropletDesktopEntryName(bundle)).string();
    const std::string command = "/usr/bin/gio launch '" + entry + "' '/p/a b.jpg' /p/c.tif";
    ASSERT_EQ(std::system(command.c_str()), 0);
    for (int i = 0; i < 100 && !fs::exists(received); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(slurp(received), "/p/a b.jpg\n/p/c.tif\n");
  }
}

}  // namespace
}  // namespace lensbrook
