// The Qt providers of the update check and the start-up shell, with a real QApplication offscreen.
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QThread>

#include <future>
#include <thread>

#include <gtest/gtest.h>

#include "platform/qt/update/gui_thread_alerts.h"
#include "platform/qt/update/qt_about_panel.h"
#include "platform/qt/update/qt_user_defaults.h"
#include "tests/posix/temp_folder.h"

namespace lensbrook {
namespace {

// Turns the event loop until a visible message box appears; nullptr after a few seconds.
QMessageBox* waitForAlertBox() {
  for (int turn = 0; turn < 500; ++turn) {
    for (QWidget* widget : QApplication::topLevelWidgets())
      if (auto* box = qobject_cast<QMessageBox*>(widget); box && box->isVisible()) return box;
    QTest::qWait(10);
  }
  return nullptr;
}

QPushButton* buttonTitled(QMessageBox& box, const QString& title) {
  for (QAbstractButton* button : box.buttons())
    if (button->text() == title) return qobject_cast<QPushButton*>(button);
  return nullptr;
}

Alert offer() {
  Alert alert;
  alert.style = AlertStyle::Informational;
  alert.title = "A new version is out";
  alert.message = "Version 2.1% is out.";
  alert.defaultButton = "Download";
  alert.alternateButton = "More Information";
  alert.otherButton = "Ignore";
  alert.answerWithoutChoice = kAlertAlternate;
  return alert;
}

TEST(GuiThreadAlerts, TheCheckWaitsWhileTheGuiThreadShowsAModelessBox) {
  struct AnswerCase {
    const char* click;  // nullptr: closed with Escape
    int answer;
  };
  for (const AnswerCase& c : {AnswerCase{"Download", kAlertDefault}, AnswerCase{"More Information", kAlertAlternate},
                              AnswerCase{"Ignore", kAlertOther}, AnswerCase{nullptr, kAlertAlternate}}) {
    GuiThreadAlerts alerts;
    std::future<int> answer = std::async(std::launch::async, [&alerts] { return alerts.runAlertAndWait(offer()); });
    QMessageBox* box = waitForAlertBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->windowModality(), Qt::NonModal) << "the editor window stays usable";
    EXPECT_EQ(box->text(), "A new version is out");
    EXPECT_EQ(box->informativeText(), "Version 2.1% is out.");
    EXPECT_EQ(answer.wait_for(std::chrono::milliseconds(50)), std::future_status::timeout) << "answered too early";
    if (c.click) {
      QPushButton* button = buttonTitled(*box, c.click);
      ASSERT_NE(button, nullptr) << c.click;
      button->click();
    } else {
      QTest::keyClick(box, Qt::Key_Escape);
    }
    while (answer.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready) QTest::qWait(5);
    EXPECT_EQ(answer.get(), c.answer) << (c.click ? c.click : "Escape");
    QTest::qWait(10);  // lets the closed box delete itself before the next round looks for one
  }
}

TEST(GuiThreadAlerts, AnAlertTheInterfaceDropsIsNotAnswered) {
  GuiThreadAlerts alerts;
  std::future<int> answer = std::async(std::launch::async, [&alerts] { return alerts.runAlertAndWait(offer()); });
  QMessageBox* box = waitForAlertBox();
  ASSERT_NE(box, nullptr);
  delete box;
  ASSERT_EQ(answer.wait_for(std::chrono::seconds(5)), std::future_status::ready) << "the check would hang";
  EXPECT_EQ(answer.get(), kAlertNotAnswered);
}

TEST(GuiThreadWorkspace, PagesOpenOnTheGuiThreadWhileTheCheckWaits) {
  struct ThreadNoting : Workspace {
    std::vector<std::pair<std::string, bool>> opened;  // the address, and whether on the GUI thread
    bool openURL(const std::string& url) override {
      opened.emplace_back(url, QThread::currentThread() == qApp->thread());
      return url.rfind("https:", 0) == 0;
    }
  };
  auto pages = std::make_shared<ThreadNoting>();
  GuiThreadWorkspace workspace(pages);
  for (const char* url : {"https://lensbrook.test/get", "ftp://lensbrook.test/get"}) {
    std::future<bool> handedOn = std::async(std::launch::async, [&workspace, url] { return workspace.openURL(url); });
    while (handedOn.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready) QTest::qWait(5);
    EXPECT_EQ(handedOn.get(), url[0] == 'h') << url;
  }
  EXPECT_EQ(pages->opened, (std::vector<std::pair<std::string, bool>>{{"https://lensbrook.test/get", true},
                                                                       {"ftp://lensbrook.test/get", true}}));
}

TEST(QtAboutPanel, LoadsOnceShowsTheVersionAndCentres) {
  QtAboutPanelLoader loader("2.05");
  Window* panel = loader.loadAboutPanel();
  ASSERT_NE(panel, nullptr);
  EXPECT_EQ(loader.loadAboutPanel(), panel);
  QDialog& dialog = static_cast<QtAboutPanel*>(panel)->widget();
  bool versionShown = false;
  for (QLabel* label : dialog.findChildren<QLabel*>()) versionShown |= label->text() == "Version 2.05";
  EXPECT_TRUE(versionShown);

  panel->makeKeyAndOrderFront();
  dialog.move(3, 4);
  panel->center();
  EXPECT_TRUE(dialog.isVisible());
  const QPoint screenCentre = dialog.screen()->availableGeometry().center();
  EXPECT_LE((dialog.frameGeometry().center() - screenCentre).manhattanLength(), 2);
  dialog.close();
}

TEST(QtUserDefaults, KeepsTextsInTheFileAcrossInstancesAndThreads) {
  testing::TempFolder home;
  const QString path = QString::fromStdString(home / "lensBrook/lensBrook.conf");
  const std::string texts[] = {"NO", "YES", "1.2, beta", "2.1%@", "", "  padded  ", "caf\xC3\xA9", "a=b;c",
                               "@Invalid()", "@ByteArray(2.1)", "2.1\nbeta", "[General]", "\"quoted\""};
  {
    QtUserDefaults defaults(path);
    EXPECT_EQ(defaults.stringForKey("IgnoreVersion"), std::nullopt);
    std::thread writers[2];
    for (int i = 0; i < 2; ++i)
      writers[i] = std::thread([&defaults, i] {
        for (int n = 0; n < 20; ++n) defaults.setString(i ? "CheckForUpdates" : "FirstTime", std::to_string(n));
      });
    for (std::thread& writer : writers) writer.join();
    EXPECT_EQ(defaults.stringForKey("FirstTime"), "19");
    EXPECT_EQ(defaults.stringForKey("CheckForUpdates"), "19");
  }
  for (const std::string& text : texts) {
    QtUserDefaults(path).setString("IgnoreVersion", text);
    EXPECT_EQ(QtUserDefaults(path).stringForKey("IgnoreVersion"), text);
  }
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_TRUE(file.readAll().contains("FirstTime=19"));
}

TEST(QtUserDefaults, LivesInTheUsersConfigurationFolder) {
  const QByteArray previous = qgetenv("XDG_CONFIG_HOME");
  qputenv("XDG_CONFIG_HOME", "/tmp/lensbrook-config-test");
  const QString path = QtUserDefaults::standardPath();
  qputenv("XDG_CONFIG_HOME", previous);
  EXPECT_EQ(path, "/tmp/lensbrook-config-test/lensBrook/lensBrook.conf");
}

}  // namespace
}  // namespace lensbrook
