// Runs the built droplet end to end, its image tool replaced by a recording stand-in.
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "platform/posix/bundle_location.h"
#include "tests/droplet_integration/droplet_fixture.h"

namespace lensbrook::testing {
namespace {

namespace fs = std::filesystem;

constexpr FileTime kOldDate = 1'262'304'000'123'456'789;  // early 2010, with nanoseconds

PropertyList types(std::map<std::string, PropertyList> entries) {
  return PropertyList::dictionary(std::move(entries));
}

Call concat(Call first, const Call& second) {
  first.insert(first.end(), second.begin(), second.end());
  return first;
}

std::string lowercaseExtension(const std::string& name) {
  std::size_t dot = name.rfind('.');
  std::string extension = dot == std::string::npos ? "" : name.substr(dot + 1);
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return extension;
}

using DropletTest = DropletFixture;

TEST_F(DropletTest, FolderIsWalkedInOrderPassingOverHiddenItemsAndOtherTypes) {
  std::string photos = temp / "Photos";
  fs::create_directories(photos + "/B");
  fs::create_directories(photos + "/.cache");
  for (const char* name : {"x.jpg", "Scan.JPG", "notes.txt", ".DS_Store", "B/y.jpg",
                           "B/.hidden.jpg", "B/noext", ".cache/z.jpg"}) {
    makeFile(photos + "/" + name, std::string("data ") + name, kOldDate);
  }
  writeRecipe(Call{"-s", "artist", "Ann"},
              types({{"NSFileTypes", PropertyList::stringArray({"jpg"})}}));

  DropletRun run = drop({photos});

  std::vector<Call> expected;
  std::size_t items = 0;
  for (const auto& entry : fs::recursive_directory_iterator(photos)) {
    ++items;
    std::string name = entry.path().filename().string();
    if (name[0] != '.' && lowercaseExtension(name) == "jpg") {
      expected.push_back({"-s", "artist", "Ann", entry.path().string()});
    }
  }
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(calls(), expected);
  EXPECT_EQ(expected.size(), 4u);
  EXPECT_EQ(files.readFile(photos + "/x.jpg"), "data x.jpg+processed");
  EXPECT_EQ(files.creationDate(photos + "/x.jpg"), kOldDate);
  EXPECT_EQ(files.readFile(photos + "/notes.txt"), "data notes.txt");
  // Every item, skipped or not, has its progress line.
  std::string count = "/" + std::to_string(items) + "]";
  EXPECT_NE(run.err.find("[1" + count), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("[" + std::to_string(items) + count), std::string::npos) << run.err;
}

TEST_F(DropletTest, DroppedPathsReachTheToolAbsoluteAndOtherwiseUnchanged) {
  std::string here = temp / "here";
  fs::create_directories(here + "/F");
  const std::vector<std::string> names = {"two words.jpg", "new\nline.jpg", "-rf.jpg", "bad\xff.jpg"};
  for (const std::string& name : names) makeFile(here + "/" + name, "x", kOldDate);
  makeFile(here + "/F/inside.jpg", "x", kOldDate);
  // No settings files at all: no filter, and the tool gets the item alone.
  DropletRun run = drop({names[0], names[1], "F//", names[2], here + "/" + names[3], "gone.jpg"},
                        "\n", here);

  std::vector<Call> expected = {{here + "/" + names[0]}, {here + "/" + names[1]},
                                {here + "/F/inside.jpg"}, {here + "/" + names[2]},
                                {here + "/" + names[3]}, {here + "/gone.jpg"}};
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(calls(), expected);
  // The missing item fails in the tool, is logged, and has no date to keep.
  EXPECT_EQ(countLines(run.err, logLine("RUNNING_SIPS_FAILED", here + "/gone.jpg")), 1);
  EXPECT_EQ(countLines(run.err, logLine("SETTING_ATTRIBUTES_FAILED", here + "/gone.jpg")), 0);
}

TEST_F(DropletTest, SizeProbeDropsTheLimitOnlyForImagesSmallerOnBothSides) {
  struct Case {
    std::string name, size;
    bool keepsLimit;
  };
  const std::vector<Case> cases = {{"small.jpg", "640 480", false}, {"wide.jpg", "800 600", true},
                                   {"tall.jpg", "600 800", true},   {"big.jpg", "1024 768", true},
                                   {"edge.jpg", "799 799", false}};
  std::vector<std::string> dropped;
  for (const Case& c : cases) {
    makeFile(temp / c.name, c.size, kOldDate);
    dropped.push_back(temp / c.name);
  }
  writeRecipe(Call{"-r", "90", "--resampleHeightWidthMax", "800", "-f", "vertical"}, std::nullopt);

  ASSERT_EQ(drop(dropped).status, 0);

  std::vector<Call> expected;
  for (const Case& c : cases) {
    expected.push_back({"-g", "pixelHeight", "-g", "pixelWidth", temp / c.name});
    expected.push_back(c.keepsLimit
                           ? Call{"-r", "90", "--resampleHeightWidthMax", "800", "-f", "vertical",
                                  temp / c.name}
                           : Call{"-r", "90", "-f", "vertical", temp / c.name});
  }
  EXPECT_EQ(calls(), expected);
}

TEST_F(DropletTest, ConvertedResultsGoBesideTheirSourceWithTheSourceDate) {
  fs::create_directory(temp / "v1.5");
  struct Case {
    std::string item, output;
  };
  const std::vector<Case> cases = {{"scan.tiff", "scan.jpg"},
                                   {"v1.5/raw", "v1.5/raw.jpg"},
                                   {"photo.jpg", "photo.jpg"}};
  std::vector<std::string> dropped;
  for (std::size_t i = 0; i < cases.size(); ++i) {
    makeFile(temp / cases[i].item, cases[i].item, kOldDate + static_cast<FileTime>(i));
    dropped.push_back(temp / cases[i].item);
  }
  writeRecipe(Call{"-s", "format", "jpeg"}, types({}));

  ASSERT_EQ(drop(dropped).status, 0);

  std::vector<Call> expected;
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const Case& c = cases[i];
    expected.push_back({"-s", "format", "jpeg", temp / c.item, "--out", temp / c.output});
    EXPECT_EQ(files.readFile(temp / c.output), c.item + "+processed") << c.item;
    EXPECT_EQ(files.creationDate(temp / c.output), kOldDate + static_cast<FileTime>(i)) << c.item;
    if (c.item != c.output) {
      EXPECT_EQ(files.readFile(temp / c.item), c.item) << c.item;
    }
  }
  EXPECT_EQ(calls(), expected);
}

TEST_F(DropletTest, FailedRunsAreLoggedUnderTheResultPathAndTheBatchGoesOn) {
  makeFile(temp / "bad.tif", "fail", kOldDate);
  makeFile(temp / "good.tif", "fine", kOldDate);
  writeRecipe(Call{"-s", "format", "png"}, std::nullopt);
  DropletRun converting = drop({temp / "bad.tif", temp / "good.tif"});
  writeRecipe(Call{"-s", "artist", "Ann"}, std::nullopt);
  DropletRun inPlace = drop({temp / "bad.tif"});

  std::string ranPng = logLine("RUNNING_SIPS_FAILED", temp / "bad.png");
  std::string datedPng = logLine("SETTING_ATTRIBUTES_FAILED", temp / "bad.png");
  EXPECT_EQ(countLines(converting.err, ranPng), 1) << converting.err;
  EXPECT_EQ(countLines(converting.err, datedPng), 1) << converting.err;
  EXPECT_LT(converting.err.find(ranPng), converting.err.find(datedPng));
  EXPECT_EQ(files.readFile(temp / "good.png"), "fine+processed");
  EXPECT_EQ(converting.err.find(temp / "good.png"), std::string::npos);

  EXPECT_EQ(countLines(inPlace.err, logLine("RUNNING_SIPS_FAILED", temp / "bad.tif")), 1);
  EXPECT_EQ(inPlace.err.find(logLine("SETTING_ATTRIBUTES_FAILED", temp / "bad.tif")),
            std::string::npos);
  EXPECT_EQ(files.creationDate(temp / "bad.tif"), kOldDate);
}

TEST_F(DropletTest, BackupKeepsTheFirstOriginalOfEveryOverwrittenFile) {
  makeFile(temp / "x.jpg", "orig", kOldDate);
  makeFile(temp / "a.tif", "tiff", kOldDate);
  makeFile(temp / "a.jpg", "old jpeg", kOldDate + 5);
  makeFile(temp / "b.tif", "tiff", kOldDate);
  PropertyList backup = types({{"NSBackupImage", PropertyList::string("1")}});

  writeRecipe(Call{"-s", "artist", "Ann"}, backup);
  ASSERT_EQ(drop({temp / "x.jpg"}).status, 0);
  ASSERT_EQ(drop({temp / "x.jpg"}).status, 0);
  EXPECT_EQ(files.readFile(temp / "x.jpg_original"), "orig");
  EXPECT_EQ(files.creationDate(temp / "x.jpg_original"), kOldDate);
  EXPECT_EQ(files.readFile(temp / "x.jpg"), "orig+processed+processed");

  writeRecipe(Call{"-s", "format", "jpeg"}, backup);
  ASSERT_EQ(drop({temp / "a.tif", temp / "b.tif"}).status, 0);
  EXPECT_EQ(files.readFile(temp / "a.jpg_original"), "old jpeg");
  EXPECT_EQ(files.creationDate(temp / "a.jpg_original"), kOldDate + 5);
  EXPECT_FALSE(files.exists(temp / "b.jpg_original"));  // nothing was there to lose

  writeRecipe(Call{"-s", "artist", "Ann"}, types({}));
  ASSERT_EQ(drop({temp / "b.tif"}).status, 0);
  EXPECT_FALSE(files.exists(temp / "b.tif_original"));
}

TEST_F(DropletTest, ItemWhoseBackupCannotBeMadeIsLeftAlone) {
  std::string longName = temp / (std::string(250, 'n') + ".jpg");  // no room for "_original"
  makeFile(longName, "orig", kOldDate);
  makeFile(temp / "next.jpg", "next", kOldDate);
  writeRecipe(Call{"-s", "artist", "Ann"}, types({{"NSBackupImage", PropertyList::string("1")}}));

  DropletRun run = drop({longName, temp / "next.jpg"});

  EXPECT_EQ(countLines(run.err, logLine("CREATING_BACKUP_FAILED", longName)), 1) << run.err;
  EXPECT_EQ(files.readFile(longName), "orig");
  EXPECT_EQ(calls(), std::vector<Call>{concat({"-s", "artist", "Ann"}, {temp / "next.jpg"})});
}

TEST_F(DropletTest, WarningNotAnsweredWithContinueTouchesNothing) {
  makeFile(temp / "a.tif", "tiff", kOldDate);
  writeRecipe(Call{"-s", "format", "jpeg"}, std::nullopt);
  for (const char* answer : {"", "2\n", "quit\n", "yes please\n"}) {
    DropletRun run = drop({temp / "a.tif"}, answer);
    EXPECT_EQ(run.status, 0) << answer;
    EXPECT_NE(run.err.find(texts.text("MODIFICATION_WARNING_TITLE")), std::string::npos) << answer;
    EXPECT_TRUE(calls().empty()) << answer;
    EXPECT_EQ(namesIn(temp.path()),
              (std::vector<std::string>{"My Droplet.app", "a.tif", "err.txt", "input.txt",
                                        "out.txt"}))
        << answer;
    EXPECT_EQ(files.creationDate(temp / "a.tif"), kOldDate) << answer;
  }
}

TEST_F(DropletTest, MissingOrUnusableToolGivesOneLinePerItemAndTheBatchEnds) {
  const std::vector<std::string> items = {temp / "1.jpg", temp / "2.jpg", temp / "3.jpg"};
  for (const std::string& item : items) makeFile(item, "x", kOldDate);
  for (const char* breakage : {"missing", "not executable", "a folder"}) {
    ::unlink(tool.c_str());
    if (breakage[0] == 'n') writeText(tool, "#!/bin/true\n");
    if (breakage[0] == 'a') fs::create_directory(tool);

    DropletRun run = drop(items);

    EXPECT_EQ(run.status, 0) << breakage;
    for (const std::string& item : items) {
      EXPECT_EQ(countLines(run.err, logLine("RUNNING_SIPS_FAILED", item)), 1) << breakage;
      EXPECT_EQ(run.err.find(logLine("SETTING_ATTRIBUTES_FAILED", item)), std::string::npos);
      EXPECT_EQ(files.readFile(item), "x") << breakage;
      EXPECT_EQ(files.creationDate(item), kOldDate) << breakage;
    }
    fs::remove_all(tool);
  }
}

TEST_F(DropletTest, OpenedWithoutItemsItExplainsItselfAndCanShowTheSite) {
  std::string info = droplet + "/Contents/Info.plist";
  EXPECT_EQ(readInfoString(files, info, "CFBundleVersion"), LENSBROOK_VERSION);
  std::optional<std::string> site = readInfoString(files, info, "LensBrookSiteURL");
  ASSERT_TRUE(site.has_value());
  EXPECT_TRUE(site->starts_with("https://")) << *site;

  DropletRun quit = drop({}, "\n");
  DropletRun moreInfo = drop({}, "2\n");

  EXPECT_NE(quit.err.find(texts.text("DROPLET_INFO_TITLE")), std::string::npos) << quit.err;
  EXPECT_EQ(quit.out, "");
  EXPECT_EQ(moreInfo.out, *site + "/lensbrook/\n");
  EXPECT_EQ(quit.status + moreInfo.status, 0);
  EXPECT_TRUE(calls().empty());
}

// A display number no X server on this machine has claimed: no socket and no lock file.
std::string unusedXDisplay() {
  for (int number = 473;; ++number) {
    std::string n = std::to_string(number);
    if (!fs::exists("/tmp/.X11-unix/X" + n) && !fs::exists("/tmp/.X" + n + "-lock")) return ":" + n;
  }
}

TEST_F(DropletTest, DisplayThatNoLongerAnswersLeavesTheBatchToTheTerminal) {
  const std::string deadX = "DISPLAY=" + unusedXDisplay();
  const std::string deadWayland = "WAYLAND_DISPLAY=gone-0";
  const std::string runtime = "XDG_RUNTIME_DIR=" + temp.path();
  const std::vector<std::string> environments[] = {
      {deadX}, {deadWayland, runtime}, {deadX, deadWayland, runtime}};
  writeRecipe(Call{"-s", "format", "jpeg"}, std::nullopt);
  for (const auto& variables : environments) {
    const std::string row = variables[0] + (variables.size() > 1 ? " ..." : "");
    makeFile(temp / "a.tif", "tiff", kOldDate);
    environment = variables;

    DropletRun run = drop({temp / "a.tif"});

    EXPECT_EQ(run.status, 0) << row << "\n" << run.err;
    EXPECT_NE(run.err.find(texts.text("MODIFICATION_WARNING_TITLE")), std::string::npos) << row;
    EXPECT_EQ(files.readFile(temp / "a.jpg"), "tiff+processed") << row;
    EXPECT_EQ(calls().size(), 1u) << row;
    fs::remove(temp / "a.jpg");
    fs::remove(recordPath);
  }
}

TEST_F(DropletTest, AppDirLauncherHandsTheDroppedPathsToTheEngine) {
  makeFile(temp / "a b.jpg", "x", kOldDate);
  launcher = droplet + "/AppRun";
  DropletRun run = drop({"a b.jpg", "-x.jpg"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(calls(), (std::vector<Call>{{temp / "a b.jpg"}, {temp / "-x.jpg"}}));
}

}  // namespace
}  // namespace lensbrook::testing
