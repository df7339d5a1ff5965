// The editor form's values at one moment, and the checks a save makes on them.
#pragma once

#include <string>

namespace lensbrook {

// What the form holds, read in one go. A box is true only when its state is exactly "on"; texts are as
// typed, never trimmed.
struct DropletForm {
  bool modifyArtist = false;
  bool modifyCopyright = false;
  bool modifyDescription = false;
  bool flipHorizontally = false;
  bool flipVertically = false;
  bool modifyRotateImage = false;
  bool modifyPadImage = false;
  bool modifyCropImage = false;
  bool modifyResampleImageMax = false;
  bool modifyResampleImage = false;
  bool addIcon = false;
  bool modifyImageFormat = false;
  bool modifyImageQuality = false;
  bool createBackupImage = false;

  std::string artist;
  std::string copyright;
  std::string description;
  std::string rotateImage;
  std::string padImageHeight;
  std::string padImageWidth;
  std::string cropImageHeight;
  std::string cropImageWidth;
  std::string resampleImageMax;
  std::string resampleImageHeight;
  std::string resampleImageWidth;

  int fileTypesIndex = 0;        // selected fixed entry, or outside 0..8 when the user typed a text
  std::string fileTypesText;
  std::string imageFormatTitle;  // title of the selected format entry
  std::string imageQualityTitle; // title of the selected quality cell
};

// Why a form cannot be saved, in the order the checks run.
enum class FormProblem {
  None,
  NoOperation,        // no image operation ticked
  ConflictingSizes,   // more than one of pad, crop, resample, resample-to-fit
  MissingPixelSize,   // the ticked size operation lacks a size it needs
  MissingRotation,    // rotate ticked with no angle
};

// True when at least one image operation is ticked. The file-type and backup boxes do not count.
bool asksForImageOperation(const DropletForm& form);

// The first problem found, or FormProblem::None.
FormProblem findFormProblem(const DropletForm& form);

}  // namespace lensbrook
