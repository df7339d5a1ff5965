#include "lensBrook/droplet_form.h"

namespace lensbrook {

bool asksForImageOperation(const DropletForm& f) {
  return f.modifyArtist || f.modifyCopyright || f.modifyDescription || f.modifyCropImage ||
         f.modifyImageFormat || f.modifyImageQuality || f.modifyPadImage || f.flipHorizontally ||
         f.flipVertically || f.addIcon || f.modifyResampleImage || f.modifyResampleImageMax ||
         f.modifyRotateImage;
}

static bool lacksPixelSize(const DropletForm& f) {
  if (f.modifyPadImage) return f.padImageHeight.empty() || f.padImageWidth.empty();
  // Resampling by one side alone keeps the aspect ratio, so one size is enough.
  if (f.modifyResampleImage) return f.resampleImageHeight.empty() && f.resampleImageWidth.empty();
  if (f.modifyCropImage) return f.cropImageHeight.empty() || f.cropImageWidth.empty();
  return false;
}

FormProblem findFormProblem(const DropletForm& f) {
  if (!asksForImageOperation(f)) return FormProblem::NoOperation;
  const int sizeOperations = int{f.modifyPadImage} + int{f.modifyCropImage} +
                             int{f.modifyResampleImage} + int{f.modifyResampleImageMax};
  if (sizeOperations > 1) return FormProblem::ConflictingSizes;
  if (lacksPixelSize(f)) return FormProblem::MissingPixelSize;
  if (f.modifyRotateImage && f.rotateImage.empty()) return FormProblem::MissingRotation;
  return FormProblem::None;
}

}  // namespace lensbrook
