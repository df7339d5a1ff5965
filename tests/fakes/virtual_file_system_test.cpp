#include "tests/fakes/virtual_file_system.h"

#include <gtest/gtest.h>

namespace {

using lensbrook::fakes::VirtualFileSystem;
using Strings = std::vector<std::string>;

// The fake stands in for the real file system in every core test, so its own rules are pinned here.
TEST(VirtualFileSystemTest, ListsDepthFirstInCreationOrderWithoutFollowingLinks) {
  VirtualFileSystem fs;
  fs.addFile("/A/x.jpg");
  fs.addFile("/A/B/y.jpg");
  fs.addLink("/A/up", "/A");  // a loop: listed, never entered
  fs.addFile("/A/.hidden");
  fs.addFile("/A/C/locked/z.jpg");
  fs.unlistable.insert("/A/C/locked");
  EXPECT_EQ(fs.listTree("/A"), (Strings{"x.jpg", "B", "B/y.jpg", "up", ".hidden", "C", "C/locked"}));
  EXPECT_TRUE(fs.listTree("/A/x.jpg").empty());
  EXPECT_TRUE(fs.listTree("/missing").empty());
}

TEST(VirtualFileSystemTest, FollowsLinksForKindsAndDates) {
  VirtualFileSystem fs;
  fs.addFile("/d/real.tif", "pixels", 7);
  fs.addDirectory("/d/App.app");
  fs.addLink("/d/abs", "/d/real.tif");
  fs.addLink("/d/rel", "real.tif");
  fs.addLink("/d/dirlink", "/d");
  fs.addLink("/d/dangling", "/nowhere");
  fs.addLink("/d/loop", "/d/loop");
  const struct {
    std::string path;
    bool exists, directory, package;
    lensbrook::FileTime date;
  } cases[] = {
      {"/d/real.tif", true, false, false, 7}, {"/d/abs", true, false, false, 7},
      {"/d/rel", true, false, false, 7},      {"/d/dirlink/real.tif", true, false, false, 7},
      {"/d/dirlink", true, true, false, 0},   {"/d/App.app", true, true, true, 0},
      {"/d/dangling", false, false, false, -1}, {"/d/loop", false, false, false, -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(fs.exists(c.path), c.exists);
    EXPECT_EQ(fs.isDirectory(c.path), c.directory);
    EXPECT_EQ(fs.isPackage(c.path), c.package);
    EXPECT_EQ(fs.creationDate(c.path).value_or(-1), c.date);
  }
}

TEST(VirtualFileSystemTest, CopiesAndWritesFailAsTheirContractsSay) {
  VirtualFileSystem fs;
  fs.addFile("/d/a.tif", "one", 5);
  fs.addFile("/d/b.tif", "two", 6);
  EXPECT_TRUE(fs.copyFile("/d/a.tif", "/d/a.tif_original"));
  EXPECT_EQ(fs.contents("/d/a.tif_original"), "one");
  EXPECT_EQ(fs.dateOf("/d/a.tif_original"), 5);
  EXPECT_FALSE(fs.copyFile("/d/b.tif", "/d/a.tif_original"));  // never over an existing file
  EXPECT_EQ(fs.contents("/d/a.tif_original"), "one");
  EXPECT_FALSE(fs.copyFile("/d/a.tif", "/nofolder/a.tif"));
  EXPECT_FALSE(fs.copyFile("/d", "/e"));  // folders are not files
  fs.readOnly.insert("/d/b.tif");
  EXPECT_FALSE(fs.writeFileAtomically("/d/b.tif", "new"));
  EXPECT_FALSE(fs.setCreationDate("/d/b.tif", 9));
  EXPECT_EQ(fs.contents("/d/b.tif"), "two");
  EXPECT_TRUE(fs.writeFileAtomically("/d/c.plist", "text"));
  EXPECT_EQ(fs.readFile("/d/c.plist"), "text");
  EXPECT_FALSE(fs.writeFileAtomically("/none/c.plist", "text"));
  EXPECT_EQ(fs.calls.front(), "copyFile /d/a.tif /d/a.tif_original");
}

}  // namespace
