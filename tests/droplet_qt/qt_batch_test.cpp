// A real batch through the engine on the Qt providers, with a slow tool that records its runs:
// the window must show each item while its run is under way, and repaint meanwhile.
#include <fstream>
#include <set>

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include "lensBrooklet/lens_brook_engine.h"
#include "platform/posix/posix_file_system.h"
#include "platform/posix/posix_process_runner.h"
#include "platform/posix/posix_services.h"
#include "platform/qt/elided_label.h"
#include "platform/qt/qt_alerts.h"
#include "platform/qt/qt_desktop.h"
#include "platform/qt/qt_progress_window.h"
#include "shared/property_list.h"
#include "tests/fakes/fake_services.h"

namespace lensbrook {
namespace {

// TIME_REMAINING_CALCULATING is left out on purpose, and PROCESSING_X_TIMES asks for more
// arguments than it gets.
constexpr const char* kTexts = R"(<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0"><dict>
  <key>PROCESSING_X_TIMES</key><string>%u of %@ left</string>
  <key>ITEM_X</key><string>Now: %@</string>
  <key>CONTINUE</key><string>Continue</string>
  <key>QUIT</key><string>Quit</string>
  <key>DROPLET_INFO_TITLE</key><string>This is a droplet</string>
  <key>DROPLET_INFO_MORE_INFO_BTN</key><string>More Info</string>
</dict></plist>)";

// Records its arguments, tells which run is under way, and takes its time.
constexpr const char* kSlowTool = R"(#!/bin/sh
here=$(dirname "$0")
printf '%s\n' "$*" >> "$here/runs.log"
printf '%s' "$*" > "$here/running"
sleep 0.3
rm -f "$here/running"
)";

void writeFile(const QString& path, const std::string& contents) {
  std::ofstream(path.toStdString(), std::ios::binary) << contents;
}

QString readFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// Where set, pictures of the windows are kept there for a person to look at.
void keepPicture(QWidget* widget, const char* name) {
  const QString dir = qEnvironmentVariable("LENSBROOK_GRAB_DIR");
  if (!dir.isEmpty()) widget->grab().save(dir + "/" + name + ".png");
}

// Presses the button titled `text` on the next alert, once it is up.
void pressOnNextAlert(const QString& text, const char* picture) {
  QTimer::singleShot(50, [text, picture] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    keepPicture(box, picture);
    for (QAbstractButton* button : box->buttons())
      if (button->text() == text) return button->click();
    ADD_FAILURE() << "no button " << text.toStdString();
    box->reject();
  });
}

struct Snapshot {
  QString running;  // the tool's arguments
  QString description, file;
  int bar;
};

class QtBatchTest : public ::testing::Test {
 protected:
  QtBatchTest() : runner(processEventsExceptUserInput) {}
  // The quit a batch asks for is queued on the application; it must not end the next test's alerts.
  ~QtBatchTest() override { QCoreApplication::removePostedEvents(qApp, QEvent::MetaCall); }

  // A droplet in the temporary folder: its settings, its texts and the slow tool.
  EngineBundle makeBundle() {
    const QString resources = root.filePath("Resources");
    QDir().mkpath(resources);
    QDir().mkpath(root.filePath("items"));
    QDir().mkpath(root.filePath("empty"));
    writeFile(resources + "/dropletAttributes.plist",
              toXmlPropertyList(PropertyList::stringArray({"-s", "artist", "Ann"})));
    writeFile(resources + "/dropletTypes.plist",
              toXmlPropertyList(PropertyList::dictionary(
                  {{"NSFileTypes", PropertyList::stringArray({"jpg"})}})));
    writeFile(sips(), kSlowTool);
    QFile::setPermissions(sips(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return {resources.toStdString(), sips().toStdString(), "https://lensbrook.example",
            StringTable(parsePropertyList(kTexts))};
  }

  QString sips() const { return root.filePath("sips"); }
  std::string item(const char* name) {
    const QString path = root.filePath(QString("items/") + name);
    writeFile(path, "not really an image");
    return path.toStdString();
  }

  QTemporaryDir root;
  PosixFileSystem files;
  PosixProcessRunner runner;
  SteadyClock clock;
  fakes::RecordingLog log;
  QtAlerts alerts;
  QtInterfaceLoader loader;
  QtKeyboard keyboard;
  QtApplication application;
  fakes::RecordingWorkspace workspace;
  ProvidedSystemVersion systemVersion;
  lensBrookEngine engine{{files, runner, clock, log, alerts, loader, keyboard, application,
                          workspace, systemVersion},
                         makeBundle()};
};

// Counts what the file label painted, to show the window is repainted while the tool runs.
class PaintWatcher : public QObject {
 public:
  std::set<QString> painted;
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) painted.insert(static_cast<ElidedLabel*>(watched)->text());
    return false;
  }
};

TEST_F(QtBatchTest, WindowShowsEachItemWhileItsRunIsUnderWay) {
  const std::vector<std::string> dropped = {item("a.jpg"), item(".hidden.jpg"), item("b.jpg"),
                                            item("notes.txt"), item("c.jpg")};
  ProgressWindowOutlets parts;
  ASSERT_TRUE(loader.loadMainMenu(parts));  // the engine is handed the same window
  QWidget* window = loader.window();
  PaintWatcher paints;
  window->findChild<ElidedLabel*>("currentFile")->installEventFilter(&paints);

  std::vector<Snapshot> snapshots;
  QTimer observer;
  QObject::connect(&observer, &QTimer::timeout, [&] {
    const QString running = readFile(root.filePath("running"));
    if (running.isEmpty()) return;
    auto* file = window->findChild<ElidedLabel*>("currentFile");
    snapshots.push_back({running, window->findChild<ElidedLabel*>("descriptionText")->fullText(),
                         file->fullText(), window->findChild<QProgressBar*>()->value()});
    if (running.endsWith("b.jpg")) keepPicture(window, "progress-window");
  });
  observer.start(10);
  pressOnNextAlert("Continue", "modification-warning");

  engine.applicationOpenFiles(dropped);
  observer.stop();

  EXPECT_TRUE(application.isTerminating());
  EXPECT_EQ(log.lines, std::vector<std::string>{});
  const QString expectedRuns = QString::fromStdString("-s artist Ann " + dropped[0] + "\n" +
                                                      "-s artist Ann " + dropped[2] + "\n" +
                                                      "-s artist Ann " + dropped[4] + "\n");
  EXPECT_EQ(readFile(root.filePath("runs.log")), expectedRuns);

  // Index, count label and bar of the three processed items out of five.
  const int full = QtProgressBar::kSteps;
  const struct {
    std::string path;
    QString description, file;
    int bar;
  } expected[] = {
      {dropped[0], "5 of %@ left", "Now: a.jpg", full / 5},
      {dropped[2], "3 of %@ left", "Now: b.jpg", full * 3 / 5},
      {dropped[4], "1 of %@ left", "Now: c.jpg", full},
  };
  for (const auto& e : expected) {
    int seen = 0;
    for (const Snapshot& s : snapshots) {
      if (!s.running.endsWith(QString::fromStdString(e.path))) continue;
      ++seen;
      EXPECT_EQ(s.description, e.description);
      EXPECT_EQ(s.file, e.file);
      EXPECT_EQ(s.bar, e.bar);
    }
    EXPECT_GE(seen, 3) << e.path << ": too few looks while it ran";
    EXPECT_TRUE(paints.painted.count(e.file)) << e.path << ": never painted";
  }
  auto* timeRemaining = window->findChild<ElidedLabel*>("timeRemaining");
  EXPECT_EQ(timeRemaining->fullText(), "TIME_REMAINING_CALCULATING");  // a missing key shows the key
  EXPECT_TRUE(window->isVisible());
}

TEST_F(QtBatchTest, EmptyFolderShowsAnEmptyWindowAndQuits) {
  pressOnNextAlert("Continue", "empty-warning");
  engine.applicationOpenFiles({root.filePath("empty").toStdString()});

  EXPECT_TRUE(application.isTerminating());
  EXPECT_FALSE(QFile::exists(root.filePath("runs.log")));
  QWidget* window = loader.window();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(window->findChild<ElidedLabel*>("descriptionText")->fullText(), "0 of %@ left");
  EXPECT_EQ(window->findChild<ElidedLabel*>("currentFile")->fullText(), "");
  EXPECT_EQ(window->findChild<QProgressBar*>()->value(), 0);
}

TEST_F(QtBatchTest, QuitInTheWarningTouchesNothing) {
  pressOnNextAlert("Quit", "warning-quit");
  engine.applicationOpenFiles({item("a.jpg")});

  EXPECT_TRUE(application.isTerminating());
  EXPECT_FALSE(QFile::exists(root.filePath("runs.log")));
  ASSERT_NE(loader.window(), nullptr);
  EXPECT_FALSE(loader.window()->isVisible());
}

TEST_F(QtBatchTest, OpenedWithoutItemsExplainsItselfAndCanOpenTheSite) {
  pressOnNextAlert("More Info", "droplet-info");
  engine.applicationDidFinishLaunching();

  EXPECT_TRUE(application.isTerminating());
  EXPECT_EQ(workspace.openedURLs, std::vector<std::string>{"https://lensbrook.example/lensbrook/"});
  EXPECT_EQ(loader.window(), nullptr);
}

}  // namespace
}  // namespace lensbrook
