// One run of the image tool on one item: size probe, backup, the run, the kept date.
#include <algorithm>
#include <iterator>

#include "lensBrooklet/lens_brook_engine.h"
#include "lensBrooklet/probe_output.h"

namespace lensbrook {

void lensBrookEngine::runSipsOnFileSaveTo(const std::string& itemPath, const std::optional<std::string>& outputPath) {
  // A private copy: the option pair may be dropped for this one run only.
  std::vector<std::string> arguments = dropletAttributes.value_or(std::vector<std::string>{});
  arguments.push_back(itemPath);
  const auto sourceDate = platform_.files.creationDate(itemPath);
  const std::string& resultPath = outputPath ? *outputPath : itemPath;

  if (wantsBackup() && !backUpBeforeOverwriting(resultPath)) return;

  if (dropletAttributes) {
    const auto& recipe = *dropletAttributes;
    const auto limit = std::find(recipe.begin(), recipe.end(), "--resampleHeightWidthMax");
    // Without a value after it there is no limit to compare; the tool gets the recipe as written.
    if (limit != recipe.end() && std::next(limit) != recipe.end() && fitsWithinLimit(itemPath, *std::next(limit))) {
      const auto at = arguments.begin() + (limit - recipe.begin());
      arguments.erase(at, at + 2);
    }
  }

  if (outputPath) {
    arguments.push_back("--out");
    arguments.push_back(*outputPath);
  }
  if (platform_.processes.run(bundle_.sipsPath, arguments) != 0) {
    platform_.log.write(bundle_.texts.format("RUNNING_SIPS_FAILED", {resultPath}));
  }

  // An item without a readable date (one that does not exist) has no date to keep.
  if (sourceDate && !platform_.files.setCreationDate(resultPath, *sourceDate)) {
    platform_.log.write(bundle_.texts.format("SETTING_ATTRIBUTES_FAILED", {resultPath}));
  }
}

bool lensBrookEngine::fitsWithinLimit(const std::string& itemPath, const std::string& limitText) {
  const std::string output =
      platform_.processes.runCapturingOutput(bundle_.sipsPath, {"-g", "pixelHeight", "-g", "pixelWidth", itemPath});
  const auto height = probeValue(output, "pixelHeight: ");
  const auto width = probeValue(output, "pixelWidth: ");
  // An unreadable probe keeps the limit: the tool then decides, and no image grows past it.
  if (!height || !width) return false;
  const std::int32_t limit = integerValue(limitText);
  return *height < limit && *width < limit;
}

bool lensBrookEngine::wantsBackup() const {
  const PropertyList* backup = fileAttributes ? fileAttributes->find("NSBackupImage") : nullptr;
  return backup && backup->isString() && backup->text == "1";
}

bool lensBrookEngine::backUpBeforeOverwriting(const std::string& resultPath) {
  if (!platform_.files.exists(resultPath)) return true;
  const std::string backup = resultPath + "_original";
  // An older backup holds the true original: keep it and go on.
  if (platform_.files.exists(backup)) return true;
  if (platform_.files.copyFile(resultPath, backup)) return true;
  platform_.log.write(bundle_.texts.format("CREATING_BACKUP_FAILED", {resultPath}));
  return false;
}

}  // namespace lensbrook
