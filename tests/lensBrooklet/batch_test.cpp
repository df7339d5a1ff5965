#include <algorithm>
#include <deque>

#include "tests/lensBrooklet/engine_fixture.h"

namespace lensbrook::testing {
namespace {

class BatchTest : public EngineTest {
 protected:
  // The items that reached the tool, in order (recipe without --out, so the item is the last argument).
  Strings processedItems() const {
    Strings items;
    for (const auto& run : toolRuns()) items.push_back(run.back());
    return items;
  }
};

TEST_F(BatchTest, TheRoadOfOneDroplet) {
  setRecipe(Strings{"--resampleHeightWidthMax", "800", "-s", "format", "jpeg"});
  setTypes({"tif", "tiff"});
  files.addFile("/photos/F/a.tif", "tiff pixels", 1111);
  files.addFile("/photos/F/.DS_Store", "finder", 2222);
  processes.outputByLastArgument["/photos/F/a.tif"] = fakes::RecordingProcessRunner::probeOutput("/photos/F/a.tif", 900, 1200);
  toolWritesOutputs();
  keyboard.modifiers = 0;
  alerts.answers = {kAlertDefault};

  engine().applicationOpenFiles({"/photos/F"});

  ASSERT_EQ(alerts.shown.size(), 1u);
  EXPECT_EQ(alerts.shown[0].style, AlertStyle::Critical);
  EXPECT_EQ(alerts.shown[0].title, "MODIFICATION_WARNING_TITLE");
  EXPECT_EQ(alerts.shown[0].defaultButton, "Continue");
  EXPECT_EQ(alerts.shown[0].alternateButton, "Quit");
  EXPECT_EQ(alerts.shown[0].answerWithoutChoice, kAlertAlternate);
  EXPECT_EQ(probedItems(), Strings{"/photos/F/a.tif"});
  EXPECT_EQ(toolRuns(), (std::vector<Strings>{{"--resampleHeightWidthMax", "800", "-s", "format", "jpeg", "/photos/F/a.tif",
                                               "--out", "/photos/F/a.jpg"}}));
  EXPECT_EQ(files.contents("/photos/F/a.jpg"), "converted");
  EXPECT_EQ(files.dateOf("/photos/F/a.jpg"), 1111);
  EXPECT_EQ(files.contents("/photos/F/a.tif"), "tiff pixels");
  EXPECT_EQ(files.contents("/photos/F/.DS_Store"), "finder");
  EXPECT_TRUE(log.lines.empty());
  EXPECT_EQ(application.terminateCalls, 1);
  EXPECT_EQ(journal.entries.back(), "terminate");
}

TEST_F(BatchTest, CollectsItemsInOrderAndSkipsHiddenAndOtherTypes) {
  files.addFile("/in/A/x.jpg");
  files.addFile("/in/A/B/y.jpg");
  files.addFile("/in/A/.DS_Store");
  files.addFile("/in/A/.cache/z.jpg");
  files.addFile("/in/A/Scan.JPG");
  files.addFile("/in/A/noext");
  files.addFile("/in/A/P.app/inner.jpg");
  files.addFile("/in/a.jpg");
  files.addFile("/in/b.jpg");
  files.addFile("/in/Q.app/inner.jpg");
  files.addDirectory("/in/Empty");
  files.addFile("/in/Locked/l.jpg");
  files.unlistable.insert("/in/Locked");
  files.addLink("/in/ALink", "/in/A/B");
  const struct {
    const char* name;
    Strings dropped;
    std::optional<Strings> types;
    Strings processed;
  } cases[] = {
      {"folder, no filter", {"/in/A"}, std::nullopt,
       {"/in/A/x.jpg", "/in/A/B", "/in/A/B/y.jpg", "/in/A/.cache/z.jpg", "/in/A/Scan.JPG", "/in/A/noext", "/in/A/P.app",
        "/in/A/P.app/inner.jpg"}},
      {"folder, jpg filter", {"/in/A"}, Strings{"jpg"},
       {"/in/A/x.jpg", "/in/A/B/y.jpg", "/in/A/.cache/z.jpg", "/in/A/Scan.JPG", "/in/A/P.app/inner.jpg"}},
      {"filter entries are not lowered", {"/in/A/Scan.JPG", "/in/a.jpg"}, Strings{"JPG"}, {}},
      {"empty entry takes names without extension", {"/in/A"}, Strings{""}, {"/in/A/B", "/in/A/noext"}},
      {"empty filter takes nothing", {"/in/A"}, Strings{}, {}},
      {"files and folders keep their order", {"/in/a.jpg", "/in/A/B", "/in/b.jpg"}, std::nullopt,
       {"/in/a.jpg", "/in/A/B/y.jpg", "/in/b.jpg"}},
      {"a dropped package is one item", {"/in/Q.app"}, std::nullopt, {"/in/Q.app"}},
      {"a link to a folder is a folder", {"/in/ALink"}, std::nullopt, {"/in/ALink/y.jpg"}},
      {"missing paths go to the tool", {"/in/gone.jpg"}, Strings{"jpg"}, {"/in/gone.jpg"}},
      {"empty and unlistable folders add nothing", {"/in/Empty", "/in/Locked"}, std::nullopt, {}},
      {"dropped hidden file", {"/in/A/.DS_Store"}, std::nullopt, {}},
      {"odd names reach the tool unchanged", {"/in/-x y\n.jpg", "/in/caf\xE9.JPG"}, Strings{"jpg"},
       {"/in/-x y\n.jpg", "/in/caf\xE9.JPG"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    processes.invocations.clear();
    setRecipe(Strings{"-i"}, c.types ? std::optional(PropertyList::dictionary({{"NSFileTypes", PropertyList::stringArray(*c.types)}}))
                                     : std::optional(PropertyList::dictionary({})));
    engine().applicationOpenFiles(c.dropped);
    EXPECT_EQ(processedItems(), c.processed);
  }
}

TEST_F(BatchTest, OutputPathsFollowTheFormat) {
  files.addFile("/in/scan.tiff");
  toolWritesOutputs();
  const struct {
    Strings recipe;
    std::string item;
    Strings tail;  // what follows the recipe; empty when the item is not run
    Strings logged;
  } cases[] = {
      {{"-s", "format", "jpeg"}, "/in/scan.tiff", {"/in/scan.tiff", "--out", "/in/scan.jpg"}, {}},
      {{"-s", "format", "jpeg"}, "/in/scan", {"/in/scan", "--out", "/in/scan.jpg"}, {}},
      {{"-s", "format", "jpeg"}, "/in/scan.jpg", {"/in/scan.jpg", "--out", "/in/scan.jpg"}, {}},
      {{"-s", "format", "jpeg"}, "/in/v1.2/scan", {"/in/v1.2/scan", "--out", "/in/v1.2/scan.jpg"}, {}},
      {{"-s", "format", "tiff"}, "/in/a.b.png", {"/in/a.b.png", "--out", "/in/a.b.tif"}, {}},
      {{"-f", "vertical"}, "/in/scan.tiff", {"/in/scan.tiff"}, {}},
      // Names outside the table are their own extension.
      {{"-s", "format", "webp"}, "/in/scan.tiff", {"/in/scan.tiff", "--out", "/in/scan.webp"}, {}},
      // No usable name: the item is left alone rather than converted over itself.
      {{"-s", "format"}, "/in/scan.tiff", {}, {"no format: /in/scan.tiff"}},
      {{"-s", "format", "../x"}, "/in/scan.tiff", {}, {"no format: /in/scan.tiff"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.recipe.back() + " " + c.item);
    processes.invocations.clear();
    log.lines.clear();
    setRecipe(c.recipe);
    engine().applicationOpenFiles({c.item});
    Strings expected = c.recipe;
    expected.insert(expected.end(), c.tail.begin(), c.tail.end());
    EXPECT_EQ(toolRuns(), c.tail.empty() ? std::vector<Strings>{} : std::vector<Strings>{expected});
    EXPECT_EQ(log.lines, c.logged);
  }
}

TEST_F(BatchTest, WarningUnlessAnOptionKeyIsHeld) {
  const struct {
    std::uint32_t modifiers;
    std::deque<int> answers;  // empty: the user gives no answer
    bool warned;
    bool runs;
  } cases[] = {
      {0, {kAlertDefault}, true, true},        {0, {kAlertAlternate}, true, false},
      {0, {}, true, false},                    {kLeftOptionKeyMask, {}, false, true},
      {kRightOptionKeyMask, {}, false, true},  {kLeftOptionKeyMask | kRightOptionKeyMask, {}, false, true},
      {0x0100, {kAlertAlternate}, true, false},  {0, {kAlertOther}, true, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.modifiers);
    processes.invocations.clear();
    alerts.shown.clear();
    application.terminateCalls = 0;
    files.calls.clear();
    files.addFile("/in/F/a.jpg");
    setRecipe(Strings{"-s", "format", "png"});
    keyboard.modifiers = c.modifiers;
    alerts.answers = c.answers;
    engine().applicationOpenFiles({"/in/F"});
    EXPECT_EQ(alerts.shown.size(), c.warned ? 1u : 0u);
    EXPECT_EQ(toolRuns().size(), c.runs ? 1u : 0u);
    EXPECT_EQ(application.terminateCalls, 1);
    // Refusing touches nothing: not even the dropped folder is listed.
    EXPECT_EQ(std::count(files.calls.begin(), files.calls.end(), "listTree /in/F"), c.runs ? 1 : 0);
  }
}

TEST_F(BatchTest, WindowThatCannotLoadDropsTheRequest) {
  files.addFile("/in/a.jpg");
  setRecipe(Strings{"-i"});
  loader.loads = false;
  keyboard.modifiers = 0;
  engine().applicationOpenFiles({"/in/a.jpg"});
  EXPECT_EQ(journal.entries, Strings{"loadMainMenu failed"});
  EXPECT_EQ(application.terminateCalls, 0);
}

TEST_F(BatchTest, EmptyItemListShowsNothingToDoAndQuits) {
  files.addDirectory("/in/Empty");
  engine().applicationOpenFiles({"/in/Empty"});
  EXPECT_EQ(loader.descriptionText.text, "0 left");
  EXPECT_EQ(loader.currentFile.text, "");
  EXPECT_EQ(loader.progressBar.maxValue, 0);
  EXPECT_TRUE(toolRuns().empty());
  EXPECT_EQ(application.terminateCalls, 1);
}

}  // namespace
}  // namespace lensbrook::testing
