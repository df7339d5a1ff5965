// One batch over the dropped items: recipe, window, warning, collection, item loop, quit.
#include <algorithm>
#include <utility>

#include "lensBrooklet/lens_brook_engine.h"
#include "lensBrooklet/path_names.h"

namespace lensbrook {

lensBrookEngine::lensBrookEngine(EnginePlatform platform, EngineBundle bundle)
    : platform_(platform), bundle_(std::move(bundle)) {}

void lensBrookEngine::applicationOpenFiles(const std::vector<std::string>& paths) {
  loadDropletAttributes();
  if (!progressWindow && !platform_.interfaceLoader.loadMainMenu(*this)) return;
  if (!progressWindow || !progressBar || !descriptionText || !currentFile || !timeRemaining) return;
  if (!userAcceptsModification()) {
    platform_.application.terminate();
    return;
  }
  const std::vector<std::string> items = collectItems(paths);
  showProgressWindow(items);
  for (std::size_t i = 0; i < items.size(); ++i) {
    showItemStart(i, items);
    double duration = 0;
    if (!isSkipped(items[i])) {
      const double start = platform_.clock.now();
      processItem(items[i]);
      duration = platform_.clock.now() - start;
    }
    updateTimeRemaining(i, items.size(), duration);
  }
  platform_.application.terminate();
}

bool lensBrookEngine::userAcceptsModification() {
  if (platform_.keyboard.currentKeyModifiers() & (kLeftOptionKeyMask | kRightOptionKeyMask)) return true;
  Alert warning;
  warning.style = AlertStyle::Critical;
  warning.title = bundle_.texts.text("MODIFICATION_WARNING_TITLE");
  warning.message = bundle_.texts.text("MODIFICATION_WARNING_TEXT");
  warning.defaultButton = bundle_.texts.text("CONTINUE");
  warning.alternateButton = bundle_.texts.text("QUIT");
  warning.answerWithoutChoice = kAlertAlternate;  // no answer must never touch a file
  return platform_.alerts.runAlert(warning) == kAlertDefault;
}

std::vector<std::string> lensBrookEngine::collectItems(const std::vector<std::string>& paths) {
  std::vector<std::string> items;
  for (const auto& path : paths) {
    if (platform_.files.isDirectory(path) && !platform_.files.isPackage(path)) {
      for (const auto& relative : platform_.files.listTree(path)) items.push_back(path + "/" + relative);
    } else {
      items.push_back(path);
    }
  }
  return items;
}

bool lensBrookEngine::isSkipped(const std::string& item) {
  if (platform_.files.displayName(item).starts_with('.')) return true;
  if (!useDropletTypes) return false;
  const std::string extension = asciiLowercase(pathExtension(item));
  return std::find(dropletTypes.begin(), dropletTypes.end(), extension) == dropletTypes.end();
}

std::optional<std::string> lensBrookEngine::outputPathFor(const std::string& item) const {
  if (!useFileSuffix) return std::nullopt;
  // A format name outside the table is its own extension, as the listed ones mostly are.
  const std::string extension = fileSuffix.value_or(formatName_);
  if (extension.empty() || extension.find('/') != std::string::npos) return std::nullopt;
  return deletingPathExtension(item) + "." + extension;
}

void lensBrookEngine::processItem(const std::string& item) {
  const auto outputPath = outputPathFor(item);
  if (useFileSuffix && !outputPath) {
    // The recipe converts, but names no format that can end a file name: writing over the item
    // instead would lose the original the user expected to keep.
    platform_.log.write(bundle_.texts.format("UNUSABLE_FORMAT_FAILED", {item}));
    return;
  }
  runSipsOnFileSaveTo(item, outputPath);
}

}  // namespace lensbrook
