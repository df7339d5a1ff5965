#include "lensBrook/lens_brook_controller.h"

#include <utility>

#include "lensBrook/recipe_builder.h"
#include "shared/system_version.h"

namespace lensbrook {

namespace {

bool isTicked(const CheckBox* box) { return box->state() == kControlOn; }

// The form lists the two output formats that cannot carry the metadata texts (BMP and PICT) at these
// positions.
bool formatDropsMetadata(int position) { return position == 2 || position == 8; }

}  // namespace

lensBrookController::lensBrookController(EditorPlatform platform, EditorBundle bundle)
    : platform_(platform), bundle_(std::move(bundle)) {}

void lensBrookController::awakeFromNib() {
  platform_.window.center();
  if (!passesSystemVersionGate(platform_.systemVersion, platform_.alerts, platform_.application,
                               bundle_.texts)) {
    return;
  }
  const auto observer = [this](const Control* object) { controlDidChange(object); };
  platform_.notifications.addObserver(Notification::ControlTextDidChange, observer);
  platform_.notifications.addObserver(Notification::ComboBoxSelectionDidChange, observer);
  platform_.notifications.addObserver(Notification::PopUpButtonWillPopUp, observer);
  theAttributes.emplace();
  theFileAttributes.emplace();
  fileTypes->selectItemAtIndex(0);
}

void lensBrookController::windowWillClose() { platform_.application.terminate(); }

void lensBrookController::resetToDefaults() {
  for (CheckBox* box : {modifyFileTypes, flipHorizontally, flipVertically, addIcon, createBackupImage,
                        modifyArtist, modifyCopyright, modifyDescription, modifyRotateImage,
                        modifyResampleImageMax, modifyResampleImage, modifyCropImage, modifyPadImage,
                        modifyImageFormat, modifyImageQuality}) {
    box->setState(kControlOff);
  }
  for (TextField* field : {padImageHeight, padImageWidth, resampleImageHeight, resampleImageWidth,
                           resampleImageMax, artist, copyright, description, cropImageHeight,
                           cropImageWidth, rotateImage}) {
    field->setStringValue("");
  }
  imageFormat->selectItemAtIndex(0);
  imageQuality->setStateOfCellAtRowColumn(0, 0, kControlOn);
  fileTypes->selectItemAtIndex(0);
}

void lensBrookController::setMetadataGroupEnabled(bool enabled) {
  if (!enabled) {
    // Commit text still being typed, so it is kept while the field is disabled.
    for (TextField* field : {artist, copyright, description}) field->validateEditing();
    for (CheckBox* box : {modifyArtist, modifyCopyright, modifyDescription}) box->setState(kControlOff);
  }
  for (CheckBox* box : {modifyArtist, modifyCopyright, modifyDescription}) box->setEnabled(enabled);
  for (TextField* field : {artist, copyright, description}) field->setEnabled(enabled);
}

void lensBrookController::imageFormatDidChange() {
  const bool dropsMetadata =
      isTicked(modifyImageFormat) &&
      formatDropsMetadata(imageFormat->indexOfSelectedItem());
  setMetadataGroupEnabled(!dropsMetadata);
}

void lensBrookController::imageQualityDidChange() { modifyImageQuality->setState(kControlOn); }

void lensBrookController::controlDidChange(const Control* object) {
  struct Ticking {
    const Control* control;
    const Control* otherControl;  // the second size field of a pair, if any
    CheckBox* box;
  };
  const Ticking ticking[] = {
      {fileTypes, nullptr, modifyFileTypes},
      {artist, nullptr, modifyArtist},
      {copyright, nullptr, modifyCopyright},
      {description, nullptr, modifyDescription},
      {rotateImage, nullptr, modifyRotateImage},
      {resampleImageMax, nullptr, modifyResampleImageMax},
      {resampleImageHeight, resampleImageWidth, modifyResampleImage},
      {cropImageHeight, cropImageWidth, modifyCropImage},
      {padImageHeight, padImageWidth, modifyPadImage},
      {imageFormat, nullptr, modifyImageFormat},
  };
  if (object == nullptr) return;
  for (const Ticking& row : ticking) {
    if (object == row.control || object == row.otherControl) {
      row.box->setState(kControlOn);
      return;
    }
  }
}

DropletForm lensBrookController::formValues() const {
  DropletForm form;
  form.modifyArtist = isTicked(modifyArtist);
  form.modifyCopyright = isTicked(modifyCopyright);
  form.modifyDescription = isTicked(modifyDescription);
  form.flipHorizontally = isTicked(flipHorizontally);
  form.flipVertically = isTicked(flipVertically);
  form.modifyRotateImage = isTicked(modifyRotateImage);
  form.modifyPadImage = isTicked(modifyPadImage);
  form.modifyCropImage = isTicked(modifyCropImage);
  form.modifyResampleImageMax = isTicked(modifyResampleImageMax);
  form.modifyResampleImage = isTicked(modifyResampleImage);
  form.addIcon = isTicked(addIcon);
  form.modifyImageFormat = isTicked(modifyImageFormat);
  form.modifyImageQuality = isTicked(modifyImageQuality);
  form.createBackupImage = isTicked(createBackupImage);
  form.artist = artist->stringValue();
  form.copyright = copyright->stringValue();
  form.description = description->stringValue();
  form.rotateImage = rotateImage->stringValue();
  form.padImageHeight = padImageHeight->stringValue();
  form.padImageWidth = padImageWidth->stringValue();
  form.cropImageHeight = cropImageHeight->stringValue();
  form.cropImageWidth = cropImageWidth->stringValue();
  form.resampleImageMax = resampleImageMax->stringValue();
  form.resampleImageHeight = resampleImageHeight->stringValue();
  form.resampleImageWidth = resampleImageWidth->stringValue();
  form.fileTypesIndex = fileTypes->indexOfSelectedItem();
  form.fileTypesText = fileTypes->stringValue();
  form.imageFormatTitle = imageFormat->titleOfSelectedItem();
  form.imageQualityTitle = imageQuality->titleOfSelectedCell();
  return form;
}

bool lensBrookController::isValidDroplet() const { return asksForImageOperation(formValues()); }

void lensBrookController::showFormAlert(const char* titleKey, const char* messageKey,
                                        const char* alternateKey, AlertSheets::DidEnd didEnd) {
  Alert alert;
  alert.title = bundle_.texts.text(titleKey);
  alert.message = bundle_.texts.text(messageKey);
  alert.defaultButton = bundle_.texts.text("OK");
  if (alternateKey != nullptr) alert.alternateButton = bundle_.texts.text(alternateKey);
  platform_.sheets.beginAlertSheet(alert, std::move(didEnd));
}

void lensBrookController::saveDroplet() {
  const DropletForm form = formValues();
  switch (findFormProblem(form)) {
    case FormProblem::NoOperation:
      return showFormAlert("NO_IMAGE_ATTRIBUTES_TITLE", "NO_IMAGE_ATTRIBUTES_TEXT", nullptr, {});
    case FormProblem::ConflictingSizes:
      return showFormAlert("CONFLICT_IMAGE_ATTRIBUTES_TITLE", "CONFLICT_IMAGE_ATTRIBUTES_TEXT",
                           "CONFLICT_IMAGE_ATTRIBUTES_BUTTON", [this](int returnCode) {
                             conflictingSheetDidEndReturnCodeContextInfo(returnCode);
                           });
    case FormProblem::MissingPixelSize:
      return showFormAlert("PIXEL_ERROR_TITLE", "PIXEL_ERROR_TEXT", nullptr, {});
    case FormProblem::MissingRotation:
      return showFormAlert("ROTATE_ERROR_TITLE", "ROTATE_ERROR_TEXT", nullptr, {});
    case FormProblem::None:
      break;
  }
  // The containers are refilled, never created here: containers that set-up did not create stay
  // missing, and the writer reports that.
  DropletRecipe recipe = buildDropletRecipe(form);
  if (theAttributes) *theAttributes = std::move(recipe.attributes);
  if (theFileAttributes) *theFileAttributes = std::move(recipe.fileAttributes);
  platform_.savePanel.beginSaveSheet("Untitled Droplet", "app",
                                     [this](int returnCode, const std::string& filename) {
                                       didEndSaveSheetReturnCodeContextInfo(returnCode, filename);
                                     });
}

void lensBrookController::conflictingSheetDidEndReturnCodeContextInfo(int returnCode) {
  if (returnCode != kAlertAlternate) return;
  for (CheckBox* box : {modifyResampleImageMax, modifyResampleImage, modifyCropImage, modifyPadImage}) {
    box->setState(kControlOff);
  }
}

// The containers are read now, as they stand when the sheet ends.
void lensBrookController::didEndSaveSheetReturnCodeContextInfo(int returnCode, const std::string& filename) {
  dropletWriter->didEndSaveSheetReturnCodeContextInfo(returnCode, filename,
                                                      theAttributes ? &*theAttributes : nullptr,
                                                      theFileAttributes ? &*theFileAttributes : nullptr);
}

void lensBrookController::checkForUpdates() { updateChecker->detachCheck(true); }

void lensBrookController::checkForUpdatesAndNotify(bool notifyUser) {
  updateChecker->checkForUpdatesAndNotify(notifyUser);
}

void lensBrookController::applicationDidFinishLaunching() { editorStartup->applicationDidFinishLaunching(); }

void lensBrookController::sheetDidEndReturnCodeContextInfo(int returnCode) {
  editorStartup->sheetDidEndReturnCodeContextInfo(returnCode);
}

void lensBrookController::showAboutPanel() { editorStartup->showAboutPanel(aboutPanel); }

void lensBrookController::openWebSite() { editorStartup->openWebSite(); }

void lensBrookController::openKnownIssues() { editorStartup->openKnownIssues(); }

void lensBrookController::showHelp() { editorStartup->showHelp(); }

}  // namespace lensbrook
