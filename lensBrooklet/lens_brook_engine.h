// The droplet's controller: loads the recipe, runs one batch over the dropped items, and quits.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/alerts.h"
#include "platform/clock.h"
#include "platform/desktop.h"
#include "platform/file_system.h"
#include "platform/process_runner.h"
#include "platform/progress_window.h"
#include "shared/log.h"
#include "shared/string_table.h"

namespace lensbrook {

// The services the engine runs on. All are owned by the caller and outlive the engine.
struct EnginePlatform {
  FileSystem& files;
  ProcessRunner& processes;
  Clock& clock;
  Log& log;
  Alerts& alerts;
  InterfaceLoader& interfaceLoader;
  Keyboard& keyboard;
  Application& application;
  Workspace& workspace;
  SystemVersionSource& systemVersion;
};

// What the engine knows of its own bundle.
struct EngineBundle {
  std::string resourcesPath;  // Contents/Resources, holding the two settings files
  std::string sipsPath;       // the image tool shipped beside the engine's executable
  std::string siteURL;        // the product web site's root, without the page path
  StringTable texts;          // the "lensBrookletEngine" table
};

class lensBrookEngine {
 public:
  lensBrookEngine(EnginePlatform platform, EngineBundle bundle);
  lensBrookEngine(const lensBrookEngine&) = delete;
  lensBrookEngine& operator=(const lensBrookEngine&) = delete;

  // Launch protocol: applicationOpenFiles() when the droplet was given items, then
  // applicationDidFinishLaunching() unless the application is terminating by then.
  void applicationOpenFiles(const std::vector<std::string>& paths);
  void applicationDidFinishLaunching();

  // (the helper implementing the engine adds the rest: loadDropletAttributes, runSipsOnFileSaveTo,
  // and the fields, keeping this public interface)
};

}  // namespace lensbrook
