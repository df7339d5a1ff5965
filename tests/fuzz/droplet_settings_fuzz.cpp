// A droplet's two settings files are plain files in its bundle, which anyone can edit. The input
// is the types file, a NUL byte, then the attribute file; a batch of a few items then runs against
// in-memory fakes, so every use of the settings is reached.
#include <cstdint>
#include <string>
#include <string_view>

#include "lensBrooklet/lens_brook_engine.h"
#include "tests/fakes/fake_services.h"
#include "tests/fakes/recording_process_runner.h"
#include "tests/fakes/recording_progress_window.h"
#include "tests/fakes/virtual_file_system.h"

using namespace lensbrook;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t split = input.find('\0');
  fakes::VirtualFileSystem files;
  files.addFile("/D.app/Contents/Resources/dropletTypes.plist", std::string(input.substr(0, split)));
  if (split != std::string_view::npos) {
    files.addFile("/D.app/Contents/Resources/dropletAttributes.plist", std::string(input.substr(split + 1)));
  }
  files.addFile("/in/a.jpg", "x", 10);
  files.addFile("/in/.hidden", "x", 10);
  files.addFile("/in/scan", "x", 10);
  files.addFile("/in/b.TIF", "x", 10);
  fakes::RecordingProcessRunner processes;
  processes.outputByLastArgument["/in/a.jpg"] = fakes::RecordingProcessRunner::probeOutput("/in/a.jpg", 900, 700);
  processes.outputByLastArgument["/in/scan"] = "pixelHeight: -2147483649\npixelWidth: 99999999999";
  fakes::FakeClock clock;
  fakes::RecordingLog log;
  fakes::ScriptedAlerts alerts;
  alerts.answers = {kAlertDefault};
  fakes::RecordingInterfaceLoader interfaceLoader;
  fakes::FakeKeyboard keyboard;
  fakes::FakeApplication application;
  fakes::RecordingWorkspace workspace;
  fakes::ScriptedSystemVersion systemVersion;
  lensBrookEngine engine({files, processes, clock, log, alerts, interfaceLoader, keyboard, application,
                          workspace, systemVersion},
                         {"/D.app/Contents/Resources", "/D.app/Contents/MacOS/sips", "https://site", StringTable()});
  engine.applicationOpenFiles({"/in", "/missing.png"});
  return 0;
}
