#include "lensBrook/droplet_writer.h"

#include <utility>

namespace lensbrook {

DropletWriter::DropletWriter(DropletWriterPlatform platform, std::string compiledDroplet,
                             const StringTable& texts)
    : platform_(platform), compiledDroplet_(std::move(compiledDroplet)), texts_(texts) {}

SaveOutcome DropletWriter::didEndSaveSheetReturnCodeContextInfo(
    int returnCode, const std::string& chosenPath, const std::vector<std::string>* attributes,
    const std::map<std::string, PropertyList>* fileAttributes) {
  if (returnCode != kSavePanelOK) return SaveOutcome::Cancelled;
  if (!attributes) platform_.log.write("Error: There are no attributes to save.");

  // A taken path makes the copy fail and leaves it alone; if it is a droplet, the writes below
  // give it the new recipe, which is how a droplet is updated in place.
  platform_.files.copyTree(compiledDroplet_, chosenPath);

  const std::string attributesFile = chosenPath + kDropletAttributesFile;
  const std::string fileTypesFile = chosenPath + kDropletTypesFile;
  const bool attributesWritten =
      attributes && platform_.files.writeFileAtomically(
                        attributesFile, toXmlPropertyList(PropertyList::stringArray(*attributes)));
  if (!attributesWritten)
    platform_.log.write("Error: The attributes array failed to write to dropletAttributes.plist.");
  const bool fileTypesWritten =
      fileAttributes && platform_.files.writeFileAtomically(
                            fileTypesFile, toXmlPropertyList(PropertyList::dictionary(*fileAttributes)));
  if (!fileTypesWritten)
    platform_.log.write("Error: The file types dictionary field to write to dropletTypes.plist.");

  // Both settings files in a folder that holds the engine: anything less would not run the recipe.
  if (!attributesWritten || !fileTypesWritten ||
      !platform_.files.exists(chosenPath + kDropletEngineFile)) {
    reportFailure(chosenPath);
    return SaveOutcome::Failed;
  }
  platform_.registration.registerDroplet(chosenPath);
  return SaveOutcome::Saved;
}

void DropletWriter::reportFailure(const std::string& chosenPath) {
  Alert alert;
  alert.style = AlertStyle::Critical;
  alert.title = texts_.text("SAVE_FAILED_TITLE");
  alert.message = texts_.format("SAVE_FAILED_TEXT", {chosenPath});
  alert.defaultButton = texts_.text("OK");
  platform_.sheets.beginAlertSheet(alert, nullptr);
}

}  // namespace lensbrook
