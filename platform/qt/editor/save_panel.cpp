#include "platform/qt/editor/save_panel.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QStandardPaths>

#include <utility>

namespace lensbrook {
namespace {

// Qt's own dialog, so that the required extension and bundles behave the same on every desktop.
class DropletSaveDialog : public QFileDialog {
 public:
  DropletSaveDialog(QWidget* parent, const QString& requiredType)
      : QFileDialog(parent), suffix_("." + requiredType) {
    setOption(QFileDialog::DontUseNativeDialog);
    setOption(QFileDialog::DontConfirmOverwrite);  // asked below, for bundles too
    setAcceptMode(QFileDialog::AcceptSave);
    setFileMode(QFileDialog::AnyFile);
    setDefaultSuffix(requiredType);
    setWindowModality(Qt::WindowModal);
  }

  QString chosenPath() const { return chosenPath_; }

  void accept() override {
    const QStringList files = selectedFiles();
    if (files.isEmpty()) return;
    QString path = files.first();
    // A plain folder named in the dialog is opened, as usual; a bundle of the required type is the
    // thing to save onto.
    if (QFileInfo(path).isDir() && !path.endsWith(suffix_)) return QFileDialog::accept();
    if (!path.endsWith(suffix_)) path += suffix_;
    const QFileInfo target(path);
    if (target.fileName() == suffix_) return;
    if (target.exists() &&
        QMessageBox::warning(this, windowTitle(),
                             QFileDialog::tr("%1 already exists.\nDo you want to replace it?")
                                 .arg(target.fileName()),
                             QMessageBox::Yes | QMessageBox::No, QMessageBox::No) != QMessageBox::Yes) {
      return;
    }
    chosenPath_ = target.absoluteFilePath();
    QDialog::accept();
  }

 private:
  QString suffix_;
  QString chosenPath_;
};

QString startingDirectory() {
  const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
  return QFileInfo(desktop).isDir() ? desktop : QDir::homePath();
}

}  // namespace

QtSavePanel::QtSavePanel(QWidget* window) : window_(window) {}

void QtSavePanel::beginSaveSheet(const std::string& initialName, const std::string& requiredType,
                                 DidEnd didEnd) {
  auto* dialog = new DropletSaveDialog(window_, QString::fromStdString(requiredType));
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  dialog->setDirectory(lastDirectory_.isEmpty() ? startingDirectory() : lastDirectory_);
  dialog->selectFile(QString::fromStdString(initialName));
  QObject::connect(dialog, &QDialog::finished, dialog, [this, dialog, didEnd = std::move(didEnd)](int result) {
    if (result != QDialog::Accepted) return didEnd(kSavePanelCancel, std::string());
    lastDirectory_ = QFileInfo(dialog->chosenPath()).absolutePath();
    didEnd(kSavePanelOK, QFile::encodeName(dialog->chosenPath()).toStdString());
  });
  dialog->open();
}

}  // namespace lensbrook
