#include "tests/lensBrooklet/engine_fixture.h"

#include <algorithm>

namespace lensbrook::testing {
namespace {

// Short texts that show their arguments; keys left out look up as themselves.
StringTable testTexts() {
  std::map<std::string, PropertyList> entries;
  for (const auto& [key, text] : std::vector<std::pair<std::string, std::string>>{
           {"RUNNING_SIPS_FAILED", "run failed: %@"},
           {"SETTING_ATTRIBUTES_FAILED", "date failed: %@"},
           {"CREATING_BACKUP_FAILED", "backup failed: %@"},
           {"UNUSABLE_FORMAT_FAILED", "no format: %@"},
           {"PROCESSING_X_TIMES", "%u left"},
           {"ITEM_X", "item %@"},
           {"TIME_REMAINING_X_MINUTES", "%d min"},
           {"QUIT", "Quit"},
           {"CONTINUE", "Continue"},
       }) {
    entries[key] = PropertyList::string(text);
  }
  return StringTable(PropertyList::dictionary(entries));
}

}  // namespace

EngineTest::EngineTest() {
  processes.journal = &journal;
  loader.journal = &journal;
  log.journal = &journal;
  alerts.journal = &journal;
  application.journal = &journal;
  files.addDirectory(kResources);
  keyboard.modifiers = kLeftOptionKeyMask;  // most tests are about the batch, not the warning
}

lensBrookEngine& EngineTest::engine() {
  if (!engine_) {
    engine_ = std::make_unique<lensBrookEngine>(
        EnginePlatform{files, processes, clock, log, alerts, loader, keyboard, application, workspace, systemVersion},
        EngineBundle{kResources, kSips, "https://site.test", testTexts()});
  }
  return *engine_;
}

void EngineTest::setRecipe(const std::optional<Strings>& attributes, const std::optional<PropertyList>& types) {
  if (attributes) {
    files.addFile(std::string(kResources) + "/dropletAttributes.plist",
                  toXmlPropertyList(PropertyList::stringArray(*attributes)));
  }
  if (types) files.addFile(std::string(kResources) + "/dropletTypes.plist", toXmlPropertyList(*types));
}

void EngineTest::setTypes(const Strings& extensions, bool backup) {
  std::map<std::string, PropertyList> entries{{"NSFileTypes", PropertyList::stringArray(extensions)}};
  if (backup) entries["NSBackupImage"] = PropertyList::string("1");
  files.addFile(std::string(kResources) + "/dropletTypes.plist", toXmlPropertyList(PropertyList::dictionary(entries)));
}

std::vector<Strings> EngineTest::toolRuns() const {
  std::vector<Strings> runs;
  for (const auto& invocation : processes.invocations) {
    EXPECT_EQ(invocation.executable, kSips);
    if (!invocation.capturedOutput) runs.push_back(invocation.arguments);
  }
  return runs;
}

Strings EngineTest::probedItems() const {
  Strings items;
  for (const auto& invocation : processes.invocations) {
    if (!invocation.capturedOutput) continue;
    EXPECT_EQ(Strings(invocation.arguments.begin(), invocation.arguments.end() - 1),
              (Strings{"-g", "pixelHeight", "-g", "pixelWidth"}));
    items.push_back(invocation.arguments.back());
  }
  return items;
}

void EngineTest::toolWritesOutputs() {
  processes.whileRunning = [this](const fakes::Invocation& run) {
    const auto out = std::find(run.arguments.begin(), run.arguments.end(), "--out");
    if (!run.capturedOutput && out != run.arguments.end() && std::next(out) != run.arguments.end()) {
      files.writeFileAtomically(*std::next(out), "converted");
    }
  };
}

}  // namespace lensbrook::testing
