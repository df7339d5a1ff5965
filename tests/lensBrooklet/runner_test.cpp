#include "tests/lensBrooklet/engine_fixture.h"

namespace lensbrook::testing {
namespace {

using fakes::RecordingProcessRunner;

class RunnerTest : public EngineTest {};

TEST_F(RunnerTest, ProbeDropsTheLimitOnlyForImagesSmallerOnBothSides) {
  const Strings recipe{"-s", "format", "jpeg", "--resampleHeightWidthMax", "800", "-i"};
  const Strings withLimit{"-s", "format", "jpeg", "--resampleHeightWidthMax", "800", "-i", "/in/a.tif"};
  const Strings withoutLimit{"-s", "format", "jpeg", "-i", "/in/a.tif"};
  const struct {
    const char* name;
    std::string probe;
    Strings expected;
  } cases[] = {
      {"640x480", RecordingProcessRunner::probeOutput("/in/a.tif", 480, 640), withoutLimit},
      {"800x600", RecordingProcessRunner::probeOutput("/in/a.tif", 600, 800), withLimit},
      {"600x800", RecordingProcessRunner::probeOutput("/in/a.tif", 800, 600), withLimit},
      {"1024x768", RecordingProcessRunner::probeOutput("/in/a.tif", 768, 1024), withLimit},
      {"799x799", RecordingProcessRunner::probeOutput("/in/a.tif", 799, 799), withoutLimit},
      {"no line ends", "  pixelWidth: 10  pixelHeight: 20", withoutLimit},
      {"no width line", "/in/a.tif\n  pixelHeight: 20\n", withLimit},
      {"nothing printed", "", withLimit},
      // The path line may hold any bytes; a name like "café" must not change the rule.
      {"path not ASCII", "/in/caf\xC3\xA9.tif\n  pixelHeight: 480\n  pixelWidth: 640\n\xff", withoutLimit},
      {"value not ASCII", "  pixelHeight: \xEF\xBC\x99\n  pixelWidth: 1000\n", withLimit},
      {"digits after junk read as 0", "  pixelHeight: x99999\n  pixelWidth: -5\n", withoutLimit},
      {"huge values clamp", "  pixelHeight: 99999999999999\n  pixelWidth: 1\n", withLimit},
  };
  setRecipe(recipe);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    processes.invocations.clear();
    processes.outputByLastArgument["/in/a.tif"] = c.probe;
    engine().loadDropletAttributes();
    engine().runSipsOnFileSaveTo("/in/a.tif", std::nullopt);
    EXPECT_EQ(probedItems(), Strings{"/in/a.tif"});
    EXPECT_EQ(toolRuns(), std::vector<Strings>{c.expected});
    EXPECT_EQ(engine().dropletAttributes, recipe);  // the recipe itself never changes
  }
}

TEST_F(RunnerTest, LimitIsDroppedForOneRunOnlyAndNeedsItsValue) {
  files.addFile("/in/small.jpg");
  files.addFile("/in/large.jpg");
  processes.outputByLastArgument["/in/small.jpg"] = RecordingProcessRunner::probeOutput("/in/small.jpg", 480, 640);
  processes.outputByLastArgument["/in/large.jpg"] = RecordingProcessRunner::probeOutput("/in/large.jpg", 600, 800);
  setRecipe(Strings{"--resampleHeightWidthMax", "800"});
  engine().applicationOpenFiles({"/in/small.jpg", "/in/large.jpg"});
  EXPECT_EQ(toolRuns(), (std::vector<Strings>{{"/in/small.jpg"}, {"--resampleHeightWidthMax", "800", "/in/large.jpg"}}));

  // Without a limit value there is nothing to compare: no probe, the recipe goes as written.
  processes.invocations.clear();
  setRecipe(Strings{"-i", "--resampleHeightWidthMax"});
  engine().applicationOpenFiles({"/in/small.jpg"});
  EXPECT_TRUE(probedItems().empty());
  EXPECT_EQ(toolRuns(), (std::vector<Strings>{{"-i", "--resampleHeightWidthMax", "/in/small.jpg"}}));
}

TEST_F(RunnerTest, FailuresAreLoggedWithTheResultPathAndDatesKept) {
  const struct {
    const char* name;
    std::optional<std::string> output;
    int status;
    bool toolWrites;
    bool itemExists;
    Strings logged;
    lensbrook::FileTime resultDate;  // -1: no result file
  } cases[] = {
      {"written over", std::nullopt, 0, true, true, {}, 500},
      {"failed over itself", std::nullopt, 1, false, true, {"run failed: /in/a.tif"}, 500},
      {"new file", "/in/a.jpg", 0, true, true, {}, 500},
      {"failed new file", "/in/a.jpg", 1, false, true, {"run failed: /in/a.jpg", "date failed: /in/a.jpg"}, -1},
      {"tool missing", "/in/a.jpg", -1, false, true, {"run failed: /in/a.jpg", "date failed: /in/a.jpg"}, -1},
      {"status 0 but no file", "/in/a.jpg", 0, false, true, {"date failed: /in/a.jpg"}, -1},
      // A missing item has no date to keep, so only the run's failure is told.
      {"missing item", std::nullopt, 1, false, false, {"run failed: /in/a.tif"}, -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    files = fakes::VirtualFileSystem();
    log.lines.clear();
    if (c.itemExists) files.addFile("/in/a.tif", "original", 500);
    processes.exitStatus = c.status;
    processes.whileRunning = [&](const fakes::Invocation& run) {
      if (!c.toolWrites) return;
      const std::string& target = c.output ? *c.output : run.arguments.front();
      files.writeFileAtomically(target, "result");
      files.setCreationDate(target, 999);  // what the tool leaves behind
    };
    engine().runSipsOnFileSaveTo("/in/a.tif", c.output);
    EXPECT_EQ(toolRuns().back().back(), c.output.value_or("/in/a.tif"));
    EXPECT_EQ(log.lines, c.logged);
    EXPECT_EQ(files.dateOf(c.output.value_or("/in/a.tif")), c.resultDate);
    if (c.output && c.itemExists) {
      EXPECT_EQ(files.contents("/in/a.tif"), "original");
    }
  }
}

TEST_F(RunnerTest, BackupIsMadeBeforeAnythingIsWrittenOver) {
  const struct {
    const char* name;
    PropertyList backupValue;
    std::optional<std::string> output;
    bool resultExists;
    std::optional<std::string> olderBackup;
    bool backupFails;
    std::optional<std::string> backup;  // expected content of RESULT_original afterwards
    bool runs;
    Strings logged;
  } cases[] = {
      {"written over", PropertyList::string("1"), std::nullopt, true, std::nullopt, false, "old", true, {}},
      {"new file", PropertyList::string("1"), "/in/a.jpg", false, std::nullopt, false, std::nullopt, true, {}},
      {"existing result", PropertyList::string("1"), "/in/a.jpg", true, std::nullopt, false, "old", true, {}},
      {"older backup kept", PropertyList::string("1"), std::nullopt, true, "oldest", false, "oldest", true, {}},
      {"backup fails", PropertyList::string("1"), std::nullopt, true, std::nullopt, true, std::nullopt, false,
       {"backup failed: /in/a.jpg"}},
      {"not asked", PropertyList::string("0"), std::nullopt, true, std::nullopt, false, std::nullopt, true, {}},
      {"not a text", PropertyList{}, std::nullopt, true, std::nullopt, false, std::nullopt, true, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    files = fakes::VirtualFileSystem();
    processes.invocations.clear();
    log.lines.clear();
    setRecipe(Strings{"-f", "vertical"}, PropertyList::dictionary({{"NSBackupImage", c.backupValue}}));
    const std::string item = c.output ? "/in/a.tif" : "/in/a.jpg";
    const std::string result = c.output.value_or(item);
    files.addFile(item, "source", 300);
    if (c.resultExists) files.addFile(result, "old", 400);
    if (c.olderBackup) files.addFile(result + "_original", *c.olderBackup, 100);
    if (c.backupFails) files.readOnly.insert(result + "_original");
    processes.whileRunning = [&](const fakes::Invocation&) { files.writeFileAtomically(result, "new"); };
    engine().loadDropletAttributes();
    engine().runSipsOnFileSaveTo(item, c.output);

    EXPECT_EQ(files.hasFile(result + "_original"), c.backup.has_value());
    if (c.backup) {
      EXPECT_EQ(files.contents(result + "_original"), *c.backup);
      EXPECT_EQ(files.dateOf(result + "_original"), c.olderBackup ? 100 : 400);
    }
    EXPECT_EQ(toolRuns().size(), c.runs ? 1u : 0u);
    EXPECT_EQ(files.contents(result), c.runs ? "new" : "old");
    EXPECT_EQ(log.lines, c.logged);
  }
}

}  // namespace
}  // namespace lensbrook::testing
