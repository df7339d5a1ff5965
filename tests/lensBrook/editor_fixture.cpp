#include "tests/lensBrook/editor_fixture.h"

namespace lensbrook::fakes {

EditorFixture::EditorFixture(StringTable table) : texts(std::move(table)) {
  gSystemVersion = 0;
  systemVersion.answers = {0x1040};

  lensBrookController& c = controller;
  c.fileTypes = &fileTypes;
  c.rotateImage = &rotateImage;
  c.resampleImageMax = &resampleImageMax;
  c.artist = &artist;
  c.copyright = &copyright;
  c.description = &description;
  c.resampleImageHeight = &resampleImageHeight;
  c.resampleImageWidth = &resampleImageWidth;
  c.padImageHeight = &padImageHeight;
  c.padImageWidth = &padImageWidth;
  c.cropImageHeight = &cropImageHeight;
  c.cropImageWidth = &cropImageWidth;
  c.imageFormat = &imageFormat;
  c.imageQuality = &imageQuality;
  c.modifyFileTypes = &modifyFileTypes;
  c.modifyRotateImage = &modifyRotateImage;
  c.modifyResampleImageMax = &modifyResampleImageMax;
  c.modifyArtist = &modifyArtist;
  c.modifyCopyright = &modifyCopyright;
  c.modifyDescription = &modifyDescription;
  c.modifyResampleImage = &modifyResampleImage;
  c.modifyPadImage = &modifyPadImage;
  c.modifyCropImage = &modifyCropImage;
  c.modifyImageFormat = &modifyImageFormat;
  c.modifyImageQuality = &modifyImageQuality;
  c.flipVertically = &flipVertically;
  c.flipHorizontally = &flipHorizontally;
  c.addIcon = &addIcon;
  c.createBackupImage = &createBackupImage;

  allBoxes_ = {&modifyFileTypes, &modifyRotateImage, &modifyResampleImageMax, &modifyArtist,
               &modifyCopyright, &modifyDescription, &modifyResampleImage, &modifyPadImage,
               &modifyCropImage, &modifyImageFormat, &modifyImageQuality, &flipVertically,
               &flipHorizontally, &addIcon, &createBackupImage};
  allFields_ = {&rotateImage, &resampleImageMax, &artist, &copyright, &description,
                &resampleImageHeight, &resampleImageWidth, &padImageHeight, &padImageWidth,
                &cropImageHeight, &cropImageWidth};
}

void EditorFixture::awake() {
  controller.awakeFromNib();
  journal.clear();
}

std::vector<std::string> EditorFixture::tickedBoxes() const {
  std::vector<std::string> names;
  for (const FakeCheckBox* box : allBoxes_) {
    if (box->value == kControlOn) names.push_back(box->name());
  }
  return names;
}

}  // namespace lensbrook::fakes
