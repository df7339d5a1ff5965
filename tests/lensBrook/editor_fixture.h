// A controller wired to a complete fake form, as the window loader would wire it.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lensBrook/lens_brook_controller.h"
#include "shared/system_version.h"
#include "tests/fakes/fake_services.h"
#include "tests/lensBrook/fake_form.h"

namespace lensbrook::fakes {

class EditorFixture : public ::testing::Test {
 protected:
  // `texts` defaults to an empty table: every text is its key, so tests read the keys asked for.
  explicit EditorFixture(StringTable texts = StringTable());
  // Runs set-up on a supported system, then forgets what set-up did to the controls.
  void awake();
  // Every checkbox and every text field of the form.
  std::vector<FakeCheckBox*> boxes() { return allBoxes_; }
  std::vector<FakeTextField*> fields() { return allFields_; }
  // The boxes that are on, by name.
  std::vector<std::string> tickedBoxes() const;

  Journal journal;
  FakeWindow window{"window", journal};
  FakeComboBox fileTypes{"fileTypes", journal};
  FakeTextField rotateImage{"rotateImage", journal};
  FakeTextField resampleImageMax{"resampleImageMax", journal};
  FakeTextField artist{"artist", journal};
  FakeTextField copyright{"copyright", journal};
  FakeTextField description{"description", journal};
  FakeTextField resampleImageHeight{"resampleImageHeight", journal};
  FakeTextField resampleImageWidth{"resampleImageWidth", journal};
  FakeTextField padImageHeight{"padImageHeight", journal};
  FakeTextField padImageWidth{"padImageWidth", journal};
  FakeTextField cropImageHeight{"cropImageHeight", journal};
  FakeTextField cropImageWidth{"cropImageWidth", journal};
  FakePopUpButton imageFormat{"imageFormat", journal,
                              {"JPEG", "TIFF", "BMP", "PNG", "JP2", "PSD", "GIF", "QTIF", "PICT"}};
  FakeRadioMatrix imageQuality{"imageQuality", journal,
                               {{{0, 0}, "Default"}, {{0, 1}, "Low"}, {{0, 2}, "Normal"},
                                {{1, 0}, "High"}, {{1, 1}, "Best"}}};
  FakeCheckBox modifyFileTypes{"modifyFileTypes", journal};
  FakeCheckBox modifyRotateImage{"modifyRotateImage", journal};
  FakeCheckBox modifyResampleImageMax{"modifyResampleImageMax", journal};
  FakeCheckBox modifyArtist{"modifyArtist", journal};
  FakeCheckBox modifyCopyright{"modifyCopyright", journal};
  FakeCheckBox modifyDescription{"modifyDescription", journal};
  FakeCheckBox modifyResampleImage{"modifyResampleImage", journal};
  FakeCheckBox modifyPadImage{"modifyPadImage", journal};
  FakeCheckBox modifyCropImage{"modifyCropImage", journal};
  FakeCheckBox modifyImageFormat{"modifyImageFormat", journal};
  FakeCheckBox modifyImageQuality{"modifyImageQuality", journal};
  FakeCheckBox flipVertically{"flipVertically", journal};
  FakeCheckBox flipHorizontally{"flipHorizontally", journal};
  FakeCheckBox addIcon{"addIcon", journal};
  FakeCheckBox createBackupImage{"createBackupImage", journal};

  ScriptedAlerts alerts;
  FakeAlertSheets sheets;
  FakeSavePanel savePanel;
  FakeNotificationCenter notifications;
  FakeApplication application;
  ScriptedSystemVersion systemVersion;
  RecordingLog log;
  StringTable texts;
  lensBrookController controller{
      EditorPlatform{window, alerts, sheets, savePanel, notifications, application, systemVersion, log},
      EditorBundle{texts}};

 private:
  std::vector<FakeCheckBox*> allBoxes_;
  std::vector<FakeTextField*> allFields_;
};

}  // namespace lensbrook::fakes
