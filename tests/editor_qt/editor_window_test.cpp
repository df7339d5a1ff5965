// The real editor form, driven offscreen as a user would: typing, opening the pop-up, picking cells.
#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTest>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>

#include "lensBrook/recipe_builder.h"
#include "platform/qt/editor/editor_window.h"
#include "platform/qt/editor/qt_alert_sheets.h"
#include "shared/system_version.h"
#include "tests/fakes/fake_services.h"
#include "tests/lensBrook/fake_form.h"
#include "ui_EditorWindow.h"

namespace lensbrook {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class EditorWindowTest : public ::testing::Test {
 protected:
  EditorWindowTest() {
    gSystemVersion = 0;
    systemVersion.answers = {0x1040};
    window.connectTo(controller);
    controller.awakeFromNib();
    window.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
  }

  // The names of the ticked boxes of the form, as the controller sees them.
  std::vector<std::string> ticked() const {
    std::vector<std::string> names;
    for (const QCheckBox* box : window.findChildren<QCheckBox*>()) {
      if (box->isChecked()) names.push_back(box->objectName().toStdString());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  Ui::EditorWindow& form() { return window.form(); }

  EditorWindow window;
  fakes::ScriptedAlerts alerts;
  QtAlertSheets sheets{&window};
  fakes::FakeSavePanel savePanel;
  fakes::FakeApplication application;
  fakes::ScriptedSystemVersion systemVersion;
  fakes::RecordingLog log;
  lensBrookController controller{
      EditorPlatform{window.window(), alerts, sheets, savePanel, window.notifications(), application,
                     systemVersion, log},
      EditorBundle{StringTable()}};
};

TEST_F(EditorWindowTest, TypingIntoAFieldTicksItsBoxEvenWhenTheTextIsErasedAgain) {
  const std::pair<QLineEdit*, const char*> fields[] = {
      {form().artist, "modifyArtist"},
      {form().copyright, "modifyCopyright"},
      {form().description, "modifyDescription"},
      {form().rotateImage, "modifyRotateImage"},
      {form().resampleImageMax, "modifyResampleImageMax"},
      {form().resampleImageHeight, "modifyResampleImage"},
      {form().resampleImageWidth, "modifyResampleImage"},
      {form().padImageHeight, "modifyPadImage"},
      {form().padImageWidth, "modifyPadImage"},
      {form().cropImageHeight, "modifyCropImage"},
      {form().cropImageWidth, "modifyCropImage"},
  };
  for (const auto& [field, box] : fields) {
    controller.resetToDefaults();
    QTest::keyClicks(field, "7");
    QTest::keyClick(field, Qt::Key_Backspace);
    EXPECT_THAT(ticked(), ElementsAre(box)) << field->objectName().toStdString();
    EXPECT_EQ(field->text(), "");
  }
}

TEST_F(EditorWindowTest, TextSetByTheProgramTicksNothing) {
  for (QLineEdit* field : window.findChildren<QLineEdit*>()) field->setText("120");
  form().fileTypes->setCurrentIndex(4);
  form().imageFormat->setCurrentIndex(3);
  EXPECT_THAT(ticked(), IsEmpty());

  QTest::keyClicks(form().artist, "Ann");
  controller.resetToDefaults();
  EXPECT_THAT(ticked(), IsEmpty());
  EXPECT_EQ(form().artist->text(), "");
  EXPECT_EQ(form().fileTypes->currentIndex(), 0);
}

TEST_F(EditorWindowTest, OpeningTheFormatPopUpTicksItsBoxBeforeAnythingIsChosen) {
  form().imageFormat->setCurrentIndex(3);
  form().imageFormat->showPopup();
  EXPECT_THAT(ticked(), ElementsAre("modifyImageFormat"));
  form().imageFormat->hidePopup();
  EXPECT_EQ(form().imageFormat->currentIndex(), 3);

  // Jumping to an entry by its first letter is a choice too.
  controller.resetToDefaults();
  QTest::keyClick(form().imageFormat, Qt::Key_B);
  EXPECT_THAT(ticked(), ElementsAre("modifyImageFormat"));
  EXPECT_EQ(form().imageFormat->currentText(), "BMP");
  EXPECT_FALSE(form().artist->isEnabled());
}

TEST_F(EditorWindowTest, ChoosingPictWithTheKeyboardDisablesTheMetadataGroupAndKeepsItsTexts) {
  QTest::keyClicks(form().artist, "Ann");
  form().imageFormat->setFocus();
  for (int i = 0; i < 8; ++i) QTest::keyClick(form().imageFormat, Qt::Key_Down);

  EXPECT_EQ(lowercased(form().imageFormat->currentText().toStdString()), "pict");
  EXPECT_THAT(ticked(), ElementsAre("modifyImageFormat"));
  EXPECT_FALSE(form().artist->isEnabled());
  EXPECT_FALSE(form().modifyArtist->isEnabled());
  EXPECT_EQ(form().artist->text(), "Ann");

  QTest::keyClick(form().imageFormat, Qt::Key_Home);
  EXPECT_TRUE(form().artist->isEnabled());
  EXPECT_TRUE(form().modifyArtist->isEnabled());
  EXPECT_FALSE(form().modifyArtist->isChecked());

  // Unticking the format box lifts the restriction as well.
  for (int i = 0; i < 2; ++i) QTest::keyClick(form().imageFormat, Qt::Key_Down);
  EXPECT_FALSE(form().artist->isEnabled());
  QTest::mouseClick(form().modifyImageFormat, Qt::LeftButton);
  EXPECT_TRUE(form().artist->isEnabled());
}

TEST_F(EditorWindowTest, FileTypesTickTheirBoxWhenPickedOrTypedAndTypedTextSelectsNoEntry) {
  QComboBox* types = form().fileTypes;
  types->setFocus();
  QTest::keyClick(types, Qt::Key_Down);
  EXPECT_THAT(ticked(), ElementsAre("modifyFileTypes"));
  EXPECT_EQ(controller.fileTypes->indexOfSelectedItem(), 1);

  controller.resetToDefaults();
  types->lineEdit()->selectAll();
  QTest::keyClicks(types->lineEdit(), "CR2 nef");
  EXPECT_THAT(ticked(), ElementsAre("modifyFileTypes"));
  EXPECT_EQ(controller.fileTypes->indexOfSelectedItem(), -1);
  EXPECT_EQ(controller.fileTypes->stringValue(), "CR2 nef");
  QTest::keyClick(types->lineEdit(), Qt::Key_Return);
  EXPECT_EQ(types->count(), 9);

  controller.resetToDefaults();
  EXPECT_EQ(controller.fileTypes->indexOfSelectedItem(), 0);
  EXPECT_EQ(types->currentText(), types->itemText(0));
}

TEST_F(EditorWindowTest, PickingAQualityTicksItsBox) {
  auto* best = window.findChild<QRadioButton*>("qualityBest");
  ASSERT_NE(best, nullptr);
  QTest::mouseClick(best, Qt::LeftButton);
  EXPECT_THAT(ticked(), ElementsAre("modifyImageQuality"));
  EXPECT_EQ(lowercased(controller.imageQuality->titleOfSelectedCell()), "best");
  controller.resetToDefaults();
  EXPECT_EQ(controller.imageQuality->titleOfSelectedCell(), "Default");
}

TEST_F(EditorWindowTest, EntriesGiveTheToolsNamesWithTheMetadataFreeFormatsAt2And8) {
  const std::set<std::string> formats = {"jpeg", "tiff", "png", "gif", "jp2", "bmp", "psd", "pict", "qtif"};
  std::set<std::string> seen;
  for (int i = 0; i < form().imageFormat->count(); ++i) {
    seen.insert(lowercased(form().imageFormat->itemText(i).toStdString()));
  }
  EXPECT_EQ(seen, formats);
  EXPECT_EQ(form().imageFormat->itemText(2).toLower(), "bmp");
  EXPECT_EQ(form().imageFormat->itemText(8).toLower(), "pict");

  const std::set<std::string> qualities = {"default", "low", "normal", "high", "best"};
  std::set<std::string> cells;
  for (QAbstractButton* cell : form().imageQuality->buttons()) {
    cells.insert(lowercased(withoutMnemonic(cell->text()).toStdString()));
  }
  EXPECT_EQ(cells, qualities);
  EXPECT_EQ(form().fileTypes->count(), 9);
}

TEST_F(EditorWindowTest, ARefusedSaveShowsASheetOnTheWindowAndItsAnswerReachesTheController) {
  form().modifyPadImage->setChecked(true);
  form().modifyCropImage->setChecked(true);
  QTest::mouseClick(form().saveButton, Qt::LeftButton);

  auto* sheet = window.findChild<QMessageBox*>();
  ASSERT_NE(sheet, nullptr);
  EXPECT_TRUE(sheet->isVisible());
  EXPECT_EQ(sheet->windowModality(), Qt::WindowModal);
  EXPECT_EQ(sheet->text(), "CONFLICT_IMAGE_ATTRIBUTES_TITLE");
  EXPECT_EQ(sheet->informativeText(), "CONFLICT_IMAGE_ATTRIBUTES_TEXT");
  QAbstractButton* clear = nullptr;
  for (QAbstractButton* button : sheet->buttons()) {
    if (button->text() == "CONFLICT_IMAGE_ATTRIBUTES_BUTTON") clear = button;
  }
  ASSERT_NE(clear, nullptr);
  clear->click();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

  EXPECT_THAT(ticked(), IsEmpty());
  EXPECT_EQ(window.findChild<QMessageBox*>(), nullptr);
  EXPECT_THAT(savePanel.sheets, IsEmpty());
}

TEST_F(EditorWindowTest, SaveAndResetAnswerTheirShortcuts) {
  QApplication::setActiveWindow(&window);
  form().flipVertically->setChecked(true);
  QTest::keyClick(&window, Qt::Key_S, Qt::ControlModifier);
  ASSERT_EQ(savePanel.sheets.size(), 1u);
  EXPECT_THAT(*controller.theAttributes, ElementsAre("-f", "vertical"));

  QTest::keyClick(&window, Qt::Key_R, Qt::ControlModifier);
  EXPECT_THAT(ticked(), IsEmpty());
}

TEST_F(EditorWindowTest, ClosingTheWindowEndsTheApplication) {
  window.close();
  EXPECT_EQ(application.terminateCalls, 1);
}

TEST_F(EditorWindowTest, TheWindowFitsASmallLaptopScreen) {
  const QSize size = window.frameGeometry().size();
  EXPECT_LE(size.width(), 1366);
  EXPECT_LE(size.height(), 768 - 40);  // room for a panel
  // Set LENSBROOK_GRAB_DIR to keep a picture of the form for a look.
  const QString dir = qEnvironmentVariable("LENSBROOK_GRAB_DIR");
  if (!dir.isEmpty()) window.grab().save(dir + "/editor_window.png");
}

}  // namespace
}  // namespace lensbrook
