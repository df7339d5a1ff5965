#include "platform/qt/update/qt_about_panel.h"

#include <QApplication>
#include <QScreen>

#include "ui_AboutPanel.h"

namespace lensbrook {

QtAboutPanel::QtAboutPanel(const std::string& version) {
  Ui::AboutPanel form;
  form.setupUi(&dialog_);
  const QIcon icon = QApplication::windowIcon();
  if (icon.isNull()) {
    form.iconLabel->hide();
  } else {
    form.iconLabel->setPixmap(icon.pixmap(72, 72));
  }
  form.versionLabel->setText(form.versionLabel->text().arg(QString::fromStdString(version)));
  QObject::connect(form.buttonBox, &QDialogButtonBox::rejected, &dialog_, &QDialog::reject);
  dialog_.adjustSize();
}

void QtAboutPanel::center() {
  const QScreen* screen = dialog_.screen() ? dialog_.screen() : QGuiApplication::primaryScreen();
  if (!screen) return;
  QRect frame = dialog_.frameGeometry();
  frame.moveCenter(screen->availableGeometry().center());
  dialog_.move(frame.topLeft());
}

void QtAboutPanel::makeKeyAndOrderFront() {
  dialog_.show();
  dialog_.raise();
  dialog_.activateWindow();
}

QtAboutPanelLoader::QtAboutPanelLoader(std::string version) : version_(std::move(version)) {}

Window* QtAboutPanelLoader::loadAboutPanel() {
  if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return nullptr;
  if (!panel_) panel_ = std::make_unique<QtAboutPanel>(version_);
  return panel_.get();
}

}  // namespace lensbrook
