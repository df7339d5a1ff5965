#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <set>

#include "platform/posix/posix_file_system.h"
#include "tests/posix/temp_folder.h"

namespace lensbrook {
namespace {

namespace fs = std::filesystem;
using testing::namesIn;
using testing::TempFolder;
using testing::writeText;

mode_t modeOf(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

// An independent oracle for the listing: the standard library's walk, which reads folders in
// the same order and enters a folder right after listing it.
std::vector<std::string> walkOrder(const std::string& root) {
  std::vector<std::string> order;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    order.push_back(entry.path().lexically_relative(root).string());
  }
  return order;
}

class FileSystemTest : public ::testing::Test {
 protected:
  TempFolder temp;
  PosixFileSystem files;
};

TEST_F(FileSystemTest, ListsDepthFirstInFolderOrderWithoutFollowingLinks) {
  const std::string root = temp / "drop";
  const std::vector<std::string> names = {"plain.jpg", "with space.tif", "new\nline.png",
                                          "-starts-with-dash", "bad\xff\xfe.jpg", ".hidden"};
  fs::create_directories(root + "/B/C");
  fs::create_directories(root + "/.cache");
  for (const std::string& name : names) writeText(root + "/" + name, name);
  writeText(root + "/B/y.jpg", "y");
  writeText(root + "/B/C/z.jpg", "z");
  writeText(root + "/.cache/x.jpg", "x");
  fs::create_directory_symlink("..", root + "/B/up");          // a loop back to the top
  fs::create_directory_symlink(temp.path(), root + "/outside");  // and one around it
  fs::create_symlink("missing", root + "/dangling");

  std::vector<std::string> listed = files.listTree(root);

  EXPECT_EQ(listed, walkOrder(root));
  EXPECT_EQ(listed.size(), names.size() + 9);
  EXPECT_EQ(std::set<std::string>(listed.begin(), listed.end()).size(), listed.size());
  for (const std::string& entry : listed) {
    EXPECT_FALSE(entry.starts_with("B/up/") || entry.starts_with("outside/")) << entry;
  }
  auto position = [&](const std::string& entry) {
    return std::find(listed.begin(), listed.end(), entry) - listed.begin();
  };
  EXPECT_LT(position("B"), position("B/C"));
  EXPECT_EQ(position("B/C") + 1, position("B/C/z.jpg"));
}

TEST_F(FileSystemTest, ListingOfWhatIsNoReadableFolderIsEmpty) {
  writeText(temp / "file", "x");
  fs::create_directory(temp / "empty");
  for (const std::string& path : {temp / "missing", temp / "file", temp / "empty"}) {
    EXPECT_TRUE(files.listTree(path).empty()) << path;
  }
}

TEST_F(FileSystemTest, ListingEntersADroppedLinkToAFolder) {
  fs::create_directory(temp / "real");
  writeText(temp / "real/a", "a");
  fs::create_directory_symlink(temp / "real", temp / "link");
  EXPECT_EQ(files.listTree(temp / "link"), std::vector<std::string>{"a"});
}

TEST_F(FileSystemTest, KindsOfPaths) {
  fs::create_directories(temp / "Tool.app/Contents");
  fs::create_directory(temp / "folder");
  writeText(temp / "file.app", "not a folder");
  fs::create_directory_symlink(temp / "folder", temp / "folder-link");
  fs::create_directory_symlink(temp / "Tool.app", temp / "Link.app");
  fs::create_symlink(temp / "missing", temp / "dangling");
  struct Case {
    std::string name;
    bool exists, isDirectory, isPackage;
  };
  for (const Case& c : std::vector<Case>{{"folder", true, true, false},
                                         {"folder-link", true, true, false},
                                         {"Tool.app", true, true, true},
                                         {"Tool.app/", true, true, true},
                                         {"Link.app", true, true, true},
                                         {"file.app", true, false, false},
                                         {"dangling", false, false, false},
                                         {"missing.app", false, false, false}}) {
    std::string path = temp / c.name;
    EXPECT_EQ(files.exists(path), c.exists) << c.name;
    EXPECT_EQ(files.isDirectory(path), c.isDirectory) << c.name;
    EXPECT_EQ(files.isPackage(path), c.isPackage) << c.name;
  }
}

TEST_F(FileSystemTest, DisplayNameIsTheLastComponent) {
  EXPECT_EQ(files.displayName(temp / ".DS_Store"), ".DS_Store");
  EXPECT_EQ(files.displayName("/photos/Holiday.app/"), "Holiday.app");
}

TEST_F(FileSystemTest, ReadsWholeFilesAndRefusesWhatIsNone) {
  std::string big(300000, '\0');
  for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7);
  writeText(temp / "big", big);
  EXPECT_EQ(files.readFile(temp / "big"), big);
  fs::create_directory(temp / "folder");
  ::mkfifo((temp / "fifo").c_str(), 0600);  // must not block waiting for a writer
  for (const char* name : {"missing", "folder", "fifo"}) {
    EXPECT_EQ(files.readFile(temp / name), std::nullopt) << name;
  }
}

TEST_F(FileSystemTest, AtomicWriteReplacesKeepingModeAndLeavesNoTemporary) {
  std::string path = temp / "settings.plist";
  ASSERT_TRUE(files.writeFileAtomically(path, "first"));
  EXPECT_EQ(files.readFile(path), "first");
  ::chmod(path.c_str(), 0640);
  ASSERT_TRUE(files.writeFileAtomically(path, std::string("se\0cond", 7)));
  EXPECT_EQ(files.readFile(path), std::string("se\0cond", 7));
  EXPECT_EQ(modeOf(path), 0640u);
  EXPECT_EQ(namesIn(temp.path()), std::vector<std::string>{"settings.plist"});
}

TEST_F(FileSystemTest, FailedAtomicWriteChangesNothing) {
  fs::create_directory(temp / "folder");
  writeText(temp / "folder/inside", "kept");
  EXPECT_FALSE(files.writeFileAtomically(temp / "missing/file", "x"));
  EXPECT_FALSE(files.writeFileAtomically(temp / "folder", "x"));
  EXPECT_EQ(files.readFile(temp / "folder/inside"), "kept");
  EXPECT_EQ(namesIn(temp.path()), std::vector<std::string>{"folder"});
}

TEST_F(FileSystemTest, DatesKeepNanosecondsAndFollowLinks) {
  writeText(temp / "file", "x");
  fs::create_symlink(temp / "file", temp / "link");
  for (FileTime date : {FileTime{1'234'567'890'123'456'789}, FileTime{-1'500'000'001}, FileTime{0}}) {
    ASSERT_TRUE(files.setCreationDate(temp / "link", date));
    EXPECT_EQ(files.creationDate(temp / "file"), date);
    EXPECT_EQ(files.creationDate(temp / "link"), date);
  }
  EXPECT_FALSE(files.setCreationDate(temp / "missing", 0));
  EXPECT_EQ(files.creationDate(temp / "missing"), std::nullopt);
}

TEST_F(FileSystemTest, CopyFileKeepsContentModeAndDate) {
  std::string from = temp / "a b.jpg";
  writeText(from, std::string("\xff\xd8 image \0 bytes", 16));
  ::chmod(from.c_str(), 0751);
  ASSERT_TRUE(files.setCreationDate(from, 1'000'000'000'000'000'123));
  ASSERT_TRUE(files.copyFile(from, temp / "a b.jpg_original"));
  EXPECT_EQ(files.readFile(temp / "a b.jpg_original"), files.readFile(from));
  EXPECT_EQ(modeOf(temp / "a b.jpg_original"), 0751u);
  EXPECT_EQ(files.creationDate(temp / "a b.jpg_original"), 1'000'000'000'000'000'123);
  EXPECT_EQ(namesIn(temp.path()), (std::vector<std::string>{"a b.jpg", "a b.jpg_original"}));
}

TEST_F(FileSystemTest, CopyFileNeverReplacesAndLeavesNothingWhenItFails) {
  writeText(temp / "from", "new");
  writeText(temp / "to", "older backup");
  fs::create_directory(temp / "folder");
  fs::create_symlink(temp / "nowhere", temp / "dangling");
  EXPECT_FALSE(files.copyFile(temp / "from", temp / "to"));
  EXPECT_FALSE(files.copyFile(temp / "from", temp / "dangling"));
  EXPECT_FALSE(files.copyFile(temp / "missing", temp / "new1"));
  EXPECT_FALSE(files.copyFile(temp / "folder", temp / "new2"));
  EXPECT_FALSE(files.copyFile(temp / "from", temp / "no-folder/new3"));
  EXPECT_EQ(files.readFile(temp / "to"), "older backup");
  EXPECT_EQ(namesIn(temp.path()), (std::vector<std::string>{"dangling", "folder", "from", "to"}));
}

}  // namespace
}  // namespace lensbrook
