#include "platform/qt/editor/editor_window.h"

#include <QCloseEvent>

#include "ui_EditorWindow.h"

namespace lensbrook {

EditorWindow::EditorWindow(QWidget* parent) : QMainWindow(parent), ui_(new Ui::EditorWindow) {
  ui_->setupUi(this);
  // Open at the size the form needs, so centring places the whole window.
  adjustSize();
}

EditorWindow::~EditorWindow() = default;

template <class Adaptor, class... Arguments>
Adaptor* EditorWindow::adapt(Arguments&&... arguments) {
  auto adaptor = std::make_unique<Adaptor>(std::forward<Arguments>(arguments)...);
  Adaptor* raw = adaptor.get();
  controls_.push_back(std::move(adaptor));
  return raw;
}

void EditorWindow::connectTo(lensBrookController& c) {
  controller_ = &c;
  Ui::EditorWindow& f = *ui_;
  const QtNotificationCenter& center = notifications_;

  c.fileTypes = adapt<QtComboBox>(f.fileTypes, center);
  c.rotateImage = adapt<QtTextField>(f.rotateImage, center);
  c.resampleImageMax = adapt<QtTextField>(f.resampleImageMax, center);
  c.artist = adapt<QtTextField>(f.artist, center);
  c.copyright = adapt<QtTextField>(f.copyright, center);
  c.description = adapt<QtTextField>(f.description, center);
  c.resampleImageHeight = adapt<QtTextField>(f.resampleImageHeight, center);
  c.resampleImageWidth = adapt<QtTextField>(f.resampleImageWidth, center);
  c.padImageHeight = adapt<QtTextField>(f.padImageHeight, center);
  c.padImageWidth = adapt<QtTextField>(f.padImageWidth, center);
  c.cropImageHeight = adapt<QtTextField>(f.cropImageHeight, center);
  c.cropImageWidth = adapt<QtTextField>(f.cropImageWidth, center);
  c.imageFormat = adapt<QtPopUpButton>(f.imageFormat, center);
  c.imageQuality = adapt<QtRadioMatrix>(f.imageQuality, f.imageQualityGrid);
  c.modifyFileTypes = adapt<QtCheckBox>(f.modifyFileTypes);
  c.modifyRotateImage = adapt<QtCheckBox>(f.modifyRotateImage);
  c.modifyResampleImageMax = adapt<QtCheckBox>(f.modifyResampleImageMax);
  c.modifyArtist = adapt<QtCheckBox>(f.modifyArtist);
  c.modifyCopyright = adapt<QtCheckBox>(f.modifyCopyright);
  c.modifyDescription = adapt<QtCheckBox>(f.modifyDescription);
  c.modifyResampleImage = adapt<QtCheckBox>(f.modifyResampleImage);
  c.modifyPadImage = adapt<QtCheckBox>(f.modifyPadImage);
  c.modifyCropImage = adapt<QtCheckBox>(f.modifyCropImage);
  c.modifyImageFormat = adapt<QtCheckBox>(f.modifyImageFormat);
  c.modifyImageQuality = adapt<QtCheckBox>(f.modifyImageQuality);
  c.flipVertically = adapt<QtCheckBox>(f.flipVertically);
  c.flipHorizontally = adapt<QtCheckBox>(f.flipHorizontally);
  c.addIcon = adapt<QtCheckBox>(f.addIcon);
  c.createBackupImage = adapt<QtCheckBox>(f.createBackupImage);

  // Only the user's own choices are actions; a selection made by code is not.
  connect(f.imageFormat, &QComboBox::activated, this, [&c] { c.imageFormatDidChange(); });
  // The metadata rule reads the format box, so toggling it applies the rule as well.
  connect(f.modifyImageFormat, &QCheckBox::clicked, this, [&c] { c.imageFormatDidChange(); });
  connect(f.imageQuality, &QButtonGroup::buttonClicked, this, [&c] { c.imageQualityDidChange(); });
  connect(f.actionSaveDroplet, &QAction::triggered, this, [&c] { c.saveDroplet(); });
  connect(f.saveButton, &QPushButton::clicked, this, [&c] { c.saveDroplet(); });
  connect(f.actionReset, &QAction::triggered, this, [&c] { c.resetToDefaults(); });
  connect(f.resetButton, &QPushButton::clicked, this, [&c] { c.resetToDefaults(); });
  connect(f.actionQuit, &QAction::triggered, this, &QWidget::close);
  connect(f.actionShowHelp, &QAction::triggered, this, [&c] { c.showHelp(); });
  connect(f.actionCheckForUpdates, &QAction::triggered, this, [&c] { c.checkForUpdates(); });
  connect(f.actionOpenWebSite, &QAction::triggered, this, [&c] { c.openWebSite(); });
  connect(f.actionOpenKnownIssues, &QAction::triggered, this, [&c] { c.openKnownIssues(); });
  connect(f.actionShowAboutPanel, &QAction::triggered, this, [&c] { c.showAboutPanel(); });
}

void EditorWindow::closeEvent(QCloseEvent* event) {
  event->accept();
  if (controller_) controller_->windowWillClose();
}

}  // namespace lensbrook
