// An engine wired to recording fakes, with a droplet bundle in the virtual file system.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "lensBrooklet/lens_brook_engine.h"
#include "tests/fakes/fake_services.h"
#include "tests/fakes/recording_process_runner.h"
#include "tests/fakes/recording_progress_window.h"
#include "tests/fakes/virtual_file_system.h"

namespace lensbrook::testing {

using Strings = std::vector<std::string>;

class EngineTest : public ::testing::Test {
 protected:
  static constexpr const char* kResources = "/Droplet.app/Contents/Resources";
  static constexpr const char* kSips = "/Droplet.app/Contents/MacOS/sips";

  EngineTest();

  lensBrookEngine& engine();

  // Writes the settings files as the editor would; nullopt leaves a file out.
  void setRecipe(const std::optional<Strings>& attributes, const std::optional<PropertyList>& types = std::nullopt);
  void setTypes(const Strings& extensions, bool backup = false);

  // The argument lists of the processing runs (probes left out), and the items probed.
  std::vector<Strings> toolRuns() const;
  Strings probedItems() const;
  // Plays the tool: a run that names "--out" creates that file, as the tool would.
  void toolWritesOutputs();

  fakes::CallJournal journal;
  fakes::VirtualFileSystem files;
  fakes::RecordingProcessRunner processes;
  fakes::FakeClock clock;
  fakes::RecordingLog log;
  fakes::ScriptedAlerts alerts;
  fakes::RecordingInterfaceLoader loader;
  fakes::FakeKeyboard keyboard;
  fakes::FakeApplication application;
  fakes::RecordingWorkspace workspace;
  fakes::ScriptedSystemVersion systemVersion;

 private:
  std::unique_ptr<lensBrookEngine> engine_;
};

}  // namespace lensbrook::testing
