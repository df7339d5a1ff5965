#include <map>

#include "tests/lensBrooklet/engine_fixture.h"

namespace lensbrook::testing {
namespace {

class ProgressTest : public EngineTest {};

// A batch of 14 with hidden and other-type items; only index 12 is an update point. Long runs at
// indexes 10 and 11 must not move the label, nor enter the estimate made after index 12.
TEST_F(ProgressTest, WindowFollowsEveryItemOfTheBatch) {
  const struct {
    const char* name12;
    std::string label12;
  } cases[] = {
      {"p12.jpg", "16 min"},                    // 65 s / 13 * 2 items left * 100 = 1000 s
      {".p12", "TIME_REMAINING_5_SECONDS"},     // skipped: estimate 0
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name12);
    journal.entries.clear();
    loader.progressBar.value = 0;
    files = fakes::VirtualFileSystem();
    std::vector<std::pair<std::string, double>> items = {
        {"p00.jpg", 1}, {".hidden", 0}, {"p02.jpg", 2}, {"notes.txt", 0}, {"p04.jpg", 1}, {"p05.jpg", 1},
        {"p06.jpg", 1}, {"p07.jpg", 1}, {"p08.jpg", 1}, {"p09.jpg", 1}, {"p10.jpg", 100}, {"p11.jpg", 100},
        {c.name12, 65},  {"p13.jpg", 100}};
    std::map<std::string, double> seconds;
    for (const auto& [name, duration] : items) {
      files.addFile("/in/F/" + name);
      seconds["/in/F/" + name] = duration;
    }
    setRecipe(Strings{}, PropertyList::dictionary({{"NSFileTypes", PropertyList::stringArray({"jpg"})}}));
    processes.whileRunning = [&](const fakes::Invocation& run) { clock.advance(seconds.at(run.arguments.back())); };

    engine().applicationOpenFiles({"/in/F"});

    Strings expected = {"descriptionText 14 left",
                        "currentFile item p00.jpg",
                        "timeRemaining TIME_REMAINING_CALCULATING",
                        "progressBar setMaxValue 14",
                        "progressBar setMinValue 0",
                        "progressWindow center",
                        "progressWindow makeKeyAndOrderFront"};
    if (c.label12 == "16 min") expected.insert(expected.begin(), "loadMainMenu");  // first batch only
    const int left[] = {14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1};
    for (std::size_t i = 0; i < items.size(); ++i) {
      const std::string& name = items[i].first;
      expected.push_back("progressBar incrementBy 1");
      expected.push_back("descriptionText " + std::to_string(left[i]) + " left");
      expected.push_back("currentFile item " + name);
      if (!name.starts_with('.') && name.ends_with(".jpg")) expected.push_back(std::string("run ") + kSips + " /in/F/" + name);
      if (i == 12) expected.push_back("timeRemaining " + c.label12);
    }
    expected.push_back("terminate");
    EXPECT_EQ(journal.entries, expected);
    EXPECT_EQ(loader.progressBar.value, 14);
  }
}

TEST_F(ProgressTest, ShortBatchesKeepCalculating) {
  for (int i = 0; i < 12; ++i) files.addFile("/in/F/p" + std::to_string(i) + ".jpg");
  processes.whileRunning = [&](const fakes::Invocation&) { clock.advance(50); };
  engine().applicationOpenFiles({"/in/F"});
  EXPECT_EQ(toolRuns().size(), 12u);
  EXPECT_EQ(loader.timeRemaining.text, "TIME_REMAINING_CALCULATING");
  EXPECT_EQ(loader.descriptionText.text, "1 left");
}

}  // namespace
}  // namespace lensbrook::testing
