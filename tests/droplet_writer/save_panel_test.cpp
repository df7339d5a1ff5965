#include "platform/qt/editor/save_panel.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <optional>
#include <string>

namespace lensbrook {
namespace {

struct Ending {
  int calls = 0;
  int returnCode = -99;
  std::string path;
};

class SavePanelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder.isValid());
    window.show();
  }

  // Opens the sheet and returns its dialog, already pointed at the test's folder.
  QFileDialog* open() {
    panel.beginSaveSheet("Untitled Droplet", "app", [this](int returnCode, const std::string& path) {
      ++ending.calls;
      ending.returnCode = returnCode;
      ending.path = path;
    });
    auto* dialog = window.findChild<QFileDialog*>();
    if (dialog) dialog->setDirectory(folder.path());
    return dialog;
  }

  // Types `name` as the user would and presses Save; `replace` answers the question whether to
  // replace an existing item, when it comes.
  void save(QFileDialog* dialog, const QString& name, bool replace = true) {
    auto* nameEdit = dialog->findChild<QLineEdit*>("fileNameEdit");
    ASSERT_NE(nameEdit, nullptr);
    nameEdit->clear();
    QTest::keyClicks(nameEdit, name);
    asked = false;
    QTimer::singleShot(0, [this, replace] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        asked = true;
        box->button(replace ? QMessageBox::Yes : QMessageBox::No)->click();
      }
    });
    QTest::keyClick(nameEdit, Qt::Key_Return);
  }

  std::string inFolder(const QString& name) { return QDir(folder.path()).filePath(name).toStdString(); }

  QTemporaryDir folder;
  QWidget window;
  QtSavePanel panel{&window};
  Ending ending;
  bool asked = false;
};

TEST_F(SavePanelTest, IsAWindowModalSaveDialogOfferingTheInitialName) {
  QFileDialog* dialog = open();
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_EQ(dialog->windowModality(), Qt::WindowModal);
  EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
  EXPECT_EQ(dialog->findChild<QLineEdit*>("fileNameEdit")->text(), "Untitled Droplet");
  EXPECT_EQ(ending.calls, 0);  // returns at once; the answer comes later
}

TEST_F(SavePanelTest, ConfirmedNameAlwaysEndsInTheRequiredExtension) {
  ASSERT_TRUE(QDir(folder.path()).mkpath("Old.app/Contents"));
  ASSERT_TRUE(QDir(folder.path()).mkpath("Photos"));
  struct Row {
    QString typed;
    QString expected;
    bool asks;
  };
  const Row rows[] = {
      {"Holiday", "Holiday.app", false},
      {"Holiday.app", "Holiday.app", false},
      {"Trip.jpg", "Trip.jpg.app", false},
      {"Photos", "Photos.app", false},  // a typed name is a name, also beside a folder of that name
      {"Old", "Old.app", true},  // an existing droplet is saved onto, once the user agrees
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.typed.toStdString());
    ending = {};
    QPointer<QFileDialog> dialog = open();
    ASSERT_TRUE(dialog);
    save(dialog, row.typed);
    EXPECT_EQ(asked, row.asks);
    EXPECT_EQ(ending.calls, 1);
    EXPECT_EQ(ending.returnCode, kSavePanelOK);
    EXPECT_EQ(ending.path, inFolder(row.expected));
    QTest::qWait(0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(dialog.isNull());
  }
}

TEST_F(SavePanelTest, DecliningToReplaceOrNamingAPlainFolderKeepsTheSheetOpen) {
  ASSERT_TRUE(QDir(folder.path()).mkpath("Old.app"));
  ASSERT_TRUE(QDir(folder.path()).mkpath("Photos"));
  QFileDialog* dialog = open();
  ASSERT_NE(dialog, nullptr);

  save(dialog, "Old.app", false);
  EXPECT_TRUE(asked);
  EXPECT_TRUE(dialog->isVisible());

  // A plain folder picked in the list and confirmed is opened, as file dialogs do. The list fills
  // in the background; picking works once it shows the folder.
  auto* list = dialog->findChild<QListView*>("listView");
  ASSERT_NE(list, nullptr);
  ASSERT_TRUE(QTest::qWaitFor([&] {
    const QModelIndex root = list->rootIndex();
    for (int row = 0; row < list->model()->rowCount(root); ++row) {
      const QModelIndex item = list->model()->index(row, 0, root);
      if (item.data().toString() != "Photos") continue;
      list->setCurrentIndex(item);
      return true;
    }
    return false;
  }));
  QMetaObject::invokeMethod(dialog, "accept");
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_EQ(QDir(dialog->directory()).absolutePath(), QDir(folder.filePath("Photos")).absolutePath());
  EXPECT_EQ(ending.calls, 0);

  dialog->reject();
  EXPECT_EQ(ending.calls, 1);
  EXPECT_EQ(ending.returnCode, kSavePanelCancel);
  EXPECT_EQ(ending.path, "");
}

}  // namespace
}  // namespace lensbrook

// One QApplication for the whole run, offscreen unless a platform is given.
int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
