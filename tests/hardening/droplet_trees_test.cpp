// The built droplet over awkward trees and folders it may not write: the batch always ends, and
// every item is processed or has its log line.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <set>

#include "tests/droplet_integration/droplet_fixture.h"

namespace lensbrook::testing {
namespace {

namespace fs = std::filesystem;

class DropletTrees : public DropletFixture {
 protected:
  void SetUp() override {
    DropletFixture::SetUp();
    writeRecipe(Call{"-s", "artist", "Ann"}, typesFilter("jpg"));
  }

  static PropertyList typesFilter(const std::string& extension) {
    return PropertyList::dictionary({{"NSFileTypes", PropertyList::stringArray({extension})}});
  }

  // How many times the tool was asked to process `item`.
  int callsFor(const std::string& item) {
    int count = 0;
    for (const Call& call : calls()) count += !call.empty() && call.back() == item;
    return count;
  }
};

// 2,000 files in 20 folders. A run over 10,000 takes minutes on a busy 2-core machine, nearly all
// of it starting the tool once per file; a hang is caught by the test's time-out.
TEST_F(DropletTrees, ThousandsOfFilesAreEachProcessedOnce) {
  std::string photos = temp / "Photos";
  for (int folder = 0; folder < 20; ++folder) {
    std::string dir = photos + "/f" + std::to_string(folder);
    fs::create_directories(dir);
    for (int file = 0; file < 100; ++file) writeText(dir + "/p" + std::to_string(file) + ".jpg", "x");
  }
  DropletRun run = drop({photos});
  EXPECT_EQ(run.status, 0);
  std::vector<Call> all = calls();
  std::set<std::string> items;
  for (const Call& call : all) items.insert(call.back());
  EXPECT_EQ(all.size(), 2000u);
  EXPECT_EQ(items.size(), 2000u);
  EXPECT_EQ(files.readFile(photos + "/f0/p0.jpg"), "x+processed");
  EXPECT_EQ(files.readFile(photos + "/f19/p99.jpg"), "x+processed");
}

// Deep nesting, folders linked into a loop, names no terminal can print: each real file is
// processed exactly once, since a second pass would apply the recipe twice.
TEST_F(DropletTrees, LinkLoopsDeepFoldersAndOddNamesEndWithEachFileDoneOnce) {
  std::string photos = temp / "Photos";
  std::string deep = photos;
  for (int level = 0; level < 200; ++level) deep += "/d";
  fs::create_directories(deep);
  fs::create_directories(photos + "/a/b");
  fs::create_directory_symlink("..", photos + "/a/b/up");
  fs::create_directory_symlink(photos, photos + "/a/root");
  fs::create_symlink("self", photos + "/self");
  const std::vector<std::string> items = {deep + "/bottom.jpg", photos + "/a/b/in loop.jpg",
                                          photos + "/new\nline.jpg", photos + "/bad\xff\xfe.jpg",
                                          photos + "/\xe2\x80\xae" "gpj.jpg"};
  for (const std::string& item : items) writeText(item, "x");

  DropletRun run = drop({photos});
  EXPECT_EQ(run.status, 0);
  for (const std::string& item : items) {
    EXPECT_EQ(files.readFile(item), "x+processed") << item;
    EXPECT_EQ(callsFor(item), 1) << item;
  }
  EXPECT_EQ(calls().size(), items.size()) << run.err;
}

// An item that goes away while the batch runs is reported, and the rest of the batch still runs.
TEST_F(DropletTrees, AnItemDeletedMidBatchIsReportedAndTheRestGoOn) {
  std::string photos = temp / "Photos";
  fs::create_directories(photos);
  for (const char* name : {"a.jpg", "b.jpg", "c.jpg"}) writeText(photos + "/" + name, "x");
  // The first run of the tool, on a.jpg, deletes b.jpg before its turn comes.
  std::string real = temp / "recording-tool";
  fs::rename(tool, real);
  writeText(tool, "#!/bin/sh\nrm -f \"$DELETE_ON_FIRST_RUN\"\nunset DELETE_ON_FIRST_RUN\nexec \"" + real +
                      "\" \"$@\"\n");
  ASSERT_EQ(::chmod(tool.c_str(), 0755), 0);
  ::setenv("DELETE_ON_FIRST_RUN", (photos + "/b.jpg").c_str(), 1);
  DropletRun run = drop({photos + "/a.jpg", photos + "/b.jpg", photos + "/c.jpg"});
  ::unsetenv("DELETE_ON_FIRST_RUN");

  EXPECT_EQ(run.status, 0);
  EXPECT_FALSE(files.exists(photos + "/b.jpg"));
  EXPECT_EQ(countLines(run.err, logLine("RUNNING_SIPS_FAILED", photos + "/b.jpg")), 1) << run.err;
  EXPECT_EQ(files.readFile(photos + "/a.jpg"), "x+processed");
  EXPECT_EQ(files.readFile(photos + "/c.jpg"), "x+processed");
}

// Runs the droplet as the unprivileged user "nobody", with the real image tool, over a read-only
// folder and an unreadable file: each gets its log line, is left as it was, and the batch goes on.
TEST_F(DropletTrees, ReadOnlyFolderAndUnreadableFileAreLoggedAsNobody) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to hand the files to another user";
  if (std::system("command -v setpriv >/dev/null && id nobody >/dev/null") != 0) {
    GTEST_SKIP() << "neither setpriv nor the user nobody is available";
  }
  ::unlink(tool.c_str());
  ASSERT_TRUE(files.copyFile(SIPS_TOOL, tool));
  ASSERT_EQ(::chmod(tool.c_str(), 0755), 0);
  std::string as = temp / "as-nobody";
  writeText(as, "#!/bin/sh\nexec setpriv --reuid=nobody --regid=nogroup --clear-groups \"" + launcher +
                    "\" \"$@\"\n");
  ASSERT_EQ(::chmod(as.c_str(), 0755), 0);
  launcher = as;
  writeRecipe(Call{"-f", "horizontal"}, typesFilter("png"));

  std::string locked = temp / "locked", open = temp / "open";
  fs::create_directories(locked);
  fs::create_directories(open);
  std::string unwritable = locked + "/a.png", unreadable = open + "/b.png", fine = open + "/c.png";
  // A 256 x 1 ramp: mirrored, every pixel changes.
  for (const std::string& image : {unwritable, unreadable, fine}) {
    ASSERT_EQ(std::system(("vips identity '" + image + "'").c_str()), 0) << image;
  }
  ASSERT_EQ(::chmod(temp.path().c_str(), 0755), 0);
  ASSERT_EQ(::chmod(locked.c_str(), 0555), 0);
  ASSERT_EQ(std::system(("chown -R nobody '" + open + "'").c_str()), 0);
  ASSERT_EQ(::chmod(unreadable.c_str(), 0200), 0);
  std::string lockedBytes = *files.readFile(unwritable), unreadableBytes = *files.readFile(unreadable);
  std::string fineBytes = *files.readFile(fine);

  DropletRun run = drop({unwritable, unreadable, fine});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(countLines(run.err, logLine("RUNNING_SIPS_FAILED", unwritable)), 1) << run.err;
  EXPECT_EQ(countLines(run.err, logLine("RUNNING_SIPS_FAILED", unreadable)), 1) << run.err;
  EXPECT_EQ(files.readFile(unwritable), lockedBytes);
  EXPECT_EQ(files.readFile(unreadable), unreadableBytes);
  EXPECT_EQ(namesIn(locked), std::vector<std::string>{"a.png"});
  EXPECT_EQ(namesIn(open), (std::vector<std::string>{"b.png", "c.png"}));
  EXPECT_NE(files.readFile(fine), fineBytes) << run.err;
  EXPECT_EQ(run.err.find(logLine("RUNNING_SIPS_FAILED", fine)), std::string::npos) << run.err;
}

}  // namespace
}  // namespace lensbrook::testing
