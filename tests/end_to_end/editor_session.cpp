#include "tests/end_to_end/editor_session.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <optional>

#include "shared/property_list.h"

namespace lensbrook::endtoend {
namespace {

StringTable editorTexts(FileSystem& files) {
  const std::optional<std::string> bytes =
      files.readFile(builtEditorBundle() + "/Contents/Resources/en.lproj/lensBrook.strings");
  return StringTable(bytes ? parsePropertyList(*bytes) : std::nullopt);
}

}  // namespace

std::string builtEditorBundle() { return LENSBROOK_BUNDLE_DIR; }

EditorSession::EditorSession(Log& log, const std::string& applicationsDir)
    : texts_(editorTexts(files_)),
      registration_(files_, log, applicationsDir),
      writer_({files_, log, sheets_, registration_},
              builtEditorBundle() + "/Contents/Resources/lens Brooklet.app", texts_),
      controller_(EditorPlatform{window_.window(), alerts_, sheets_, savePanel_, window_.notifications(),
                                 application_, systemVersion_, log},
                  EditorBundle{texts_}) {
  controller_.dropletWriter = &writer_;
  window_.connectTo(controller_);
  controller_.awakeFromNib();
  window_.show();
  if (!QTest::qWaitForWindowExposed(&window_)) qWarning("the editor window was not shown");
}

void EditorSession::type(const char* field, const QString& text) {
  auto* edit = window_.findChild<QLineEdit*>(field);
  if (!edit) qFatal("the form has no field %s", field);
  QTest::keyClicks(edit, text);
}

void EditorSession::click(const char* box) {
  auto* checkBox = window_.findChild<QCheckBox*>(box);
  if (!checkBox) qFatal("the form has no box %s", box);
  checkBox->click();
}

void EditorSession::chooseFileTypes(int position) {
  auto* list = window_.findChild<QComboBox*>("fileTypes");
  if (!list) qFatal("the form has no file-type list");
  list->setCurrentIndex(position);
}

bool EditorSession::save(const std::function<void(QFileDialog&)>& answer) {
  auto* saveButton = window_.findChild<QPushButton*>("saveButton");
  if (!saveButton) qFatal("the form has no Save button");
  QTest::mouseClick(saveButton, Qt::LeftButton);
  QFileDialog* dialog = nullptr;
  if (!QTest::qWaitFor([&] { return (dialog = window_.findChild<QFileDialog*>()) && dialog->isVisible(); }))
    return false;
  answer(*dialog);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  return true;
}

void EditorSession::typeNameAndSave(QFileDialog& dialog, const QString& folder, const QString& name) {
  dialog.setDirectory(folder);
  auto* nameEdit = dialog.findChild<QLineEdit*>("fileNameEdit");
  if (!nameEdit) qFatal("the save sheet has no name field");
  nameEdit->clear();
  QTest::keyClicks(nameEdit, name);
  QTest::keyClick(nameEdit, Qt::Key_Return);
}

QMessageBox* EditorSession::alertSheet() {
  for (QMessageBox* box : window_.findChildren<QMessageBox*>())
    if (box->isVisible()) return box;
  return nullptr;
}

}  // namespace lensbrook::endtoend
