#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "platform/posix/posix_file_system.h"
#include "tests/posix/temp_folder.h"

namespace lensbrook {
namespace {

namespace fs = std::filesystem;
using testing::namesIn;
using testing::TempFolder;
using testing::writeText;

struct Node {
  mode_t type, mode;
  FileTime modified;
  std::string contentOrTarget;
  bool operator==(const Node&) const = default;
};

// Everything about a tree that a copy must keep, links not followed.
std::map<std::string, Node> describe(const std::string& root) {
  std::map<std::string, Node> nodes;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    struct stat st;
    ::lstat(entry.path().c_str(), &st);
    std::string content;
    if (S_ISLNK(st.st_mode)) content = fs::read_symlink(entry.path()).string();
    if (S_ISREG(st.st_mode)) content = PosixFileSystem().readFile(entry.path()).value_or("?");
    FileTime modified = st.st_mtim.tv_sec * FileTime{1'000'000'000} + st.st_mtim.tv_nsec;
    nodes[entry.path().lexically_relative(root).string()] =
        Node{st.st_mode & S_IFMT, st.st_mode & 07777, modified, content};
  }
  return nodes;
}

class TreeCopyTest : public ::testing::Test {
 protected:
  // A small droplet-like bundle: nested folders, an executable, a read-only folder, links.
  void SetUp() override {
    fs::create_directories(source + "/Contents/MacOS");
    fs::create_directories(source + "/Contents/Resources/en.lproj");
    writeText(source + "/Contents/MacOS/engine", std::string("\x7f" "ELF\0\1", 6));
    ::chmod((source + "/Contents/MacOS/engine").c_str(), 0755);
    writeText(source + "/Contents/Resources/en.lproj/texts.strings", "texts");
    ::chmod((source + "/Contents/Resources/en.lproj/texts.strings").c_str(), 0640);
    fs::create_symlink("MacOS/engine", source + "/Contents/AppRun");
    fs::create_symlink("/nowhere/at/all", source + "/Contents/dangling");
    fs::create_directory_symlink("..", source + "/Contents/Resources/loop");
    ::chmod((source + "/Contents/Resources/en.lproj").c_str(), 0555);
    FileTime date = 1'100'000'000'000'000'007;
    for (const auto& entry : fs::recursive_directory_iterator(source)) {
      struct timespec times[2] = {{date / 1'000'000'000, 0}, {date / 1'000'000'000, 7}};
      ::utimensat(AT_FDCWD, entry.path().c_str(), times, AT_SYMLINK_NOFOLLOW);
      date += 1'000'000'000;
    }
  }

  TempFolder temp;
  PosixFileSystem files;
  std::string source = temp / "lens Brooklet.app";
};

TEST_F(TreeCopyTest, CopyKeepsLinksModesAndTimes) {
  ASSERT_TRUE(files.copyTree(source, temp / "Mine.app"));
  std::map<std::string, Node> copied = describe(temp / "Mine.app");
  EXPECT_EQ(copied, describe(source));
  EXPECT_EQ(copied.size(), 9u);
  EXPECT_EQ(copied["Contents/AppRun"].type, static_cast<mode_t>(S_IFLNK));
  // The top folder's own mode and date come along too.
  struct stat from, to;
  ::stat(source.c_str(), &from);
  ::stat((temp / "Mine.app").c_str(), &to);
  EXPECT_EQ(from.st_mode, to.st_mode);
  EXPECT_EQ(from.st_mtim.tv_nsec, to.st_mtim.tv_nsec);
  EXPECT_EQ(namesIn(temp.path()), (std::vector<std::string>{"Mine.app", "lens Brooklet.app"}));
}

TEST_F(TreeCopyTest, ExistingTargetIsNeverTouched) {
  fs::create_directory(temp / "Taken.app");
  writeText(temp / "Taken.app/mine", "user data");
  fs::create_symlink(temp / "nowhere", temp / "Dangling.app");
  EXPECT_FALSE(files.copyTree(source, temp / "Taken.app"));
  EXPECT_FALSE(files.copyTree(source, temp / "Dangling.app"));
  EXPECT_EQ(namesIn(temp / "Taken.app"), std::vector<std::string>{"mine"});
  EXPECT_FALSE(fs::exists(temp / "nowhere"));
}

TEST_F(TreeCopyTest, FailureHalfWayLeavesNothingBehind) {
  ::chmod((source + "/Contents/Resources/en.lproj").c_str(), 0755);
  ASSERT_EQ(::mkfifo((source + "/Contents/Resources/en.lproj/pipe").c_str(), 0600), 0);
  EXPECT_FALSE(files.copyTree(source, temp / "Mine.app"));
  EXPECT_FALSE(files.copyTree(temp / "missing", temp / "Other.app"));
  EXPECT_EQ(namesIn(temp.path()), std::vector<std::string>{"lens Brooklet.app"});
}

TEST_F(TreeCopyTest, CopyIntoItselfFailsInsteadOfGrowingWithoutEnd) {
  EXPECT_FALSE(files.copyTree(source, source + "/Contents/Nested.app"));
  EXPECT_EQ(namesIn(source + "/Contents"),
            (std::vector<std::string>{"AppRun", "MacOS", "Resources", "dangling"}));
}

TEST_F(TreeCopyTest, LinkGivenAsSourceIsCopiedAsTheTreeItNames) {
  fs::create_directory_symlink(source, temp / "template-link");
  ASSERT_TRUE(files.copyTree(temp / "template-link", temp / "Mine.app"));
  EXPECT_FALSE(fs::is_symlink(temp / "Mine.app"));
  EXPECT_EQ(describe(temp / "Mine.app"), describe(source));
  // Writing into the copy leaves the template alone.
  writeText(temp / "Mine.app/Contents/Resources/recipe", "r");
  EXPECT_FALSE(fs::exists(source + "/Contents/Resources/recipe"));
}

}  // namespace
}  // namespace lensbrook
