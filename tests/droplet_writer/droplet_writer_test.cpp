#include "lensBrook/droplet_writer.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "tests/fakes/fake_services.h"
#include "tests/fakes/virtual_file_system.h"

namespace lensbrook {
namespace {

using fakes::RecordingLog;
using fakes::VirtualFileSystem;

class RecordingSheets : public AlertSheets {
 public:
  std::vector<Alert> shown;
  void beginAlertSheet(const Alert& alert, DidEnd) override { shown.push_back(alert); }
};

class RecordingRegistration : public DesktopRegistration {
 public:
  std::vector<std::string> registered;
  bool registerDroplet(const std::string& bundlePath) override {
    registered.push_back(bundlePath);
    return true;
  }
};

const std::string kTemplate = "/opt/lensBrook.app/Contents/Resources/lens Brooklet.app";
const std::string kNoAttributes = "Error: There are no attributes to save.";
const std::string kAttributesFailed =
    "Error: The attributes array failed to write to dropletAttributes.plist.";
const std::string kTypesFailed = "Error: The file types dictionary field to write to dropletTypes.plist.";

const std::vector<std::string> kRecipe = {"--resampleHeightWidthMax", "800", "-s", "format", "jpeg"};
const std::map<std::string, PropertyList> kTypes = {
    {"NSFileTypes", PropertyList::stringArray({"tif", "tiff"})}};

struct Fixture {
  VirtualFileSystem files;
  RecordingLog log;
  RecordingSheets sheets;
  RecordingRegistration registration;
  StringTable texts{PropertyList::dictionary({{"SAVE_FAILED_TEXT", PropertyList::string("No droplet at %@.")}})};
  DropletWriter writer{{files, log, sheets, registration}, kTemplate, texts};

  Fixture() {
    files.addFile(kTemplate + "/AppRun", "#!/bin/sh", 11);
    files.addFile(kTemplate + "/Contents/MacOS/lensBrooklet", "engine", 12);
    files.addFile(kTemplate + "/Contents/MacOS/sips", "tool", 13);
    files.addLink(kTemplate + "/Contents/MacOS/lensBrooklet.link", "lensBrooklet");
    files.addFile(kTemplate + "/Contents/Resources/en.lproj/lensBrookletEngine.strings", "texts", 14);
    files.addDirectory("/home/u/Desktop");
  }

  // Every path below `root` with its contents (or "<dir>"), to compare whole trees.
  std::vector<std::string> snapshot(const std::string& root) {
    std::vector<std::string> out;
    for (const std::string& relative : files.listTree(root)) {
      const std::string path = root + "/" + relative;
      out.push_back(relative + "=" + (files.hasFile(path) ? files.contents(path) : "<dir>") + "@" +
                    std::to_string(files.dateOf(path)));
    }
    return out;
  }
};

std::optional<PropertyList> parsed(VirtualFileSystem& files, const std::string& path) {
  if (!files.hasFile(path)) return std::nullopt;
  return parsePropertyList(files.contents(path));
}

TEST(DropletWriter, ConfirmedNameBecomesACopyOfTheTemplateHoldingTheRecipe) {
  Fixture f;
  const std::vector<std::string> templateBefore = f.snapshot(kTemplate);
  const std::string droplet = "/home/u/Desktop/Holiday.app";

  EXPECT_EQ(f.writer.didEndSaveSheetReturnCodeContextInfo(kSavePanelOK, droplet, &kRecipe, &kTypes),
            SaveOutcome::Saved);

  EXPECT_EQ(parsed(f.files, droplet + "/Contents/Resources/dropletAttributes.plist"),
            PropertyList::stringArray(kRecipe));
  EXPECT_EQ(parsed(f.files, droplet + "/Contents/Resources/dropletTypes.plist"),
            PropertyList::dictionary(kTypes));
  std::vector<std::string> copied = f.snapshot(droplet);
  std::erase_if(copied, [](const std::string& entry) { return entry.find(".plist=") != std::string::npos; });
  EXPECT_EQ(copied, templateBefore);
  EXPECT_EQ(f.snapshot(kTemplate), templateBefore);
  EXPECT_TRUE(f.log.lines.empty());
  EXPECT_TRUE(f.sheets.shown.empty());
  EXPECT_EQ(f.registration.registered, std::vector<std::string>{droplet});
}

TEST(DropletWriter, EmptyRecipeIsWrittenAsEmptyContainers) {
  Fixture f;
  const std::vector<std::string> none;
  const std::map<std::string, PropertyList> noTypes;
  const std::string droplet = "/home/u/Desktop/Untitled Droplet.app";
  EXPECT_EQ(f.writer.didEndSaveSheetReturnCodeContextInfo(kSavePanelOK, droplet, &none, &noTypes),
            SaveOutcome::Saved);
  EXPECT_EQ(parsed(f.files, droplet + "/Contents/Resources/dropletAttributes.plist"),
            PropertyList::array({}));
  EXPECT_EQ(parsed(f.files, droplet + "/Contents/Resources/dropletTypes.plist"),
            PropertyList::dictionary({}));
}

TEST(DropletWriter, SavingOntoADropletReplacesOnlyItsSettings) {
  Fixture f;
  const std::string droplet = "/home/u/Desktop/Old.app";
  f.files.addFile(droplet + "/Contents/MacOS/lensBrooklet", "older engine", 5);
  f.files.addFile(droplet + "/Contents/Resources/dropletAttributes.plist", "old", 6);
  f.files.addFile(droplet + "/Contents/Resources/dropletTypes.plist", "old", 7);
  f.files.addFile(droplet + "/Contents/Resources/notes.txt", "kept", 8);

  EXPECT_EQ(f.writer.didEndSaveSheetReturnCodeContextInfo(kSavePanelOK, droplet, &kRecipe, &kTypes),
            SaveOutcome::Saved);
  EXPECT_EQ(f.files.contents(droplet + "/Contents/MacOS/lensBrooklet"), "older engine");
  EXPECT_EQ(f.files.contents(droplet + "/Contents/Resources/notes.txt"), "kept");
  EXPECT_FALSE(f.files.exists(droplet + "/AppRun"));
  EXPECT_EQ(parsed(f.files, droplet + "/Contents/Resources/dropletAttributes.plist"),
            PropertyList::stringArray(kRecipe));
  EXPECT_TRUE(f.log.lines.empty());
  EXPECT_TRUE(f.sheets.shown.empty());
  EXPECT_EQ(f.registration.registered, std::vector<std::string>{droplet});
}

// Every save that leaves no runnable droplet holding the recipe: the fixed log lines in order,
// the failure alert naming the path, no registration, and the template untouched.
TEST(DropletWriter, SavesThatMakeNoWorkingDropletAreLoggedAndShown) {
  const std::string target = "/home/u/Desktop/Target.app";
  struct Row {
    const char* name;
    void (*prepare)(Fixture&, const std::string&);
    bool missingList;
    std::vector<std::string> expectedLog;
  };
  const Row rows[] = {
      {"plain file", [](Fixture& f, const std::string& t) { f.files.addFile(t, "plain", 3); }, false,
       {kAttributesFailed, kTypesFailed}},
      {"folder without Contents/Resources",
       [](Fixture& f, const std::string& t) { f.files.addFile(t + "/Contents/other", "x", 3); }, false,
       {kAttributesFailed, kTypesFailed}},
      {"folder that cannot be written",
       [](Fixture& f, const std::string& t) { f.files.readOnly.insert(t); }, false,
       {kAttributesFailed, kTypesFailed}},
      {"template missing",
       [](Fixture& f, const std::string&) { f.files = VirtualFileSystem(); f.files.addDirectory("/home/u/Desktop"); },
       false, {kAttributesFailed, kTypesFailed}},
      {"bundle without the engine",
       [](Fixture& f, const std::string& t) { f.files.addDirectory(t + "/Contents/Resources"); }, false, {}},
      {"argument list never created", [](Fixture&, const std::string&) {}, true,
       {kNoAttributes, kAttributesFailed}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Fixture f;
    row.prepare(f, target);
    const std::vector<std::string> templateBefore = f.snapshot(kTemplate);

    EXPECT_EQ(f.writer.didEndSaveSheetReturnCodeContextInfo(kSavePanelOK, target,
                                                            row.missingList ? nullptr : &kRecipe, &kTypes),
              SaveOutcome::Failed);
    EXPECT_EQ(f.log.lines, row.expectedLog);
    ASSERT_EQ(f.sheets.shown.size(), 1u);
    EXPECT_EQ(f.sheets.shown[0].title, "SAVE_FAILED_TITLE");
    EXPECT_EQ(f.sheets.shown[0].message, "No droplet at " + target + ".");
    EXPECT_EQ(f.sheets.shown[0].defaultButton, "OK");
    EXPECT_TRUE(f.registration.registered.empty());
    EXPECT_EQ(f.snapshot(kTemplate), templateBefore);
  }
}

TEST(DropletWriter, CancelledSheetTouchesNothing) {
  for (int returnCode : {kSavePanelCancel, -1, 2}) {
    SCOPED_TRACE(returnCode);
    Fixture f;
    EXPECT_EQ(f.writer.didEndSaveSheetReturnCodeContextInfo(returnCode, "/home/u/Desktop/X.app", &kRecipe, &kTypes),
              SaveOutcome::Cancelled);
    EXPECT_TRUE(f.files.calls.empty());
    EXPECT_TRUE(f.log.lines.empty());
    EXPECT_TRUE(f.sheets.shown.empty());
    EXPECT_TRUE(f.registration.registered.empty());
  }
}

}  // namespace
}  // namespace lensbrook
