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
#include "shared/property_list.h"
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

// The progress window's five parts are the engine's own fields (progressWindow, progressBar,
// descriptionText, currentFile, timeRemaining): the interface loader fills them with the engine as
// owner.
class lensBrookEngine : private ProgressWindowOutlets {
 public:
  lensBrookEngine(EnginePlatform platform, EngineBundle bundle);
  lensBrookEngine(const lensBrookEngine&) = delete;
  lensBrookEngine& operator=(const lensBrookEngine&) = delete;

  // Launch protocol: applicationOpenFiles() when the droplet was given items, then
  // applicationDidFinishLaunching() unless the application is terminating by then.
  void applicationOpenFiles(const std::vector<std::string>& paths);
  void applicationDidFinishLaunching();

  // Reads both settings files into the fields below. False when the attribute file is missing,
  // no property list, not an array, or holds anything but texts; the types file is read anyway.
  bool loadDropletAttributes();
  // Runs the tool once on `itemPath` (writing to `outputPath` when given), keeping its date.
  // Failures are logged, never returned: the batch goes on.
  void runSipsOnFileSaveTo(const std::string& itemPath, const std::optional<std::string>& outputPath);

  // The loaded settings; empty or false until loadDropletAttributes().
  bool useDropletTypes = false;
  bool useFileSuffix = false;
  std::optional<PropertyList> fileAttributes;               // the types file's dictionary
  std::optional<std::string> fileSuffix;                    // unset for an unknown format name
  std::optional<std::vector<std::string>> dropletAttributes;  // the tool's arguments
  std::vector<std::string> dropletTypes;                    // accepted extensions

 private:
  // Batch steps.
  std::vector<std::string> collectItems(const std::vector<std::string>& paths);
  bool userAcceptsModification();
  std::optional<std::string> outputPathFor(const std::string& item) const;
  bool isSkipped(const std::string& item);
  void processItem(const std::string& item);

  // Runner steps.
  bool wantsBackup() const;
  bool backUpBeforeOverwriting(const std::string& resultPath);
  bool fitsWithinLimit(const std::string& itemPath, const std::string& limitText);

  // Progress window.
  void showProgressWindow(const std::vector<std::string>& items);
  void showItemStart(std::size_t index, const std::vector<std::string>& items);
  void updateTimeRemaining(std::size_t index, std::size_t count, double duration);

  EnginePlatform platform_;
  EngineBundle bundle_;
  std::string formatName_;  // the element after "format", used when it names no known format
};

}  // namespace lensbrook
