#include <QApplication>
#include <QDesktopServices>
#include <QIcon>
#include <QElapsedTimer>
#include <QTimer>
#include <QUrl>

#include <gtest/gtest.h>

#include "platform/qt/qt_desktop.h"
#include "platform/qt/qt_droplet_application.h"
#include "platform/qt/qt_progress_window.h"

namespace lensbrook {

// Takes the addresses that would go to a browser or another handler, so that none is launched.
class UrlRecorder : public QObject {
  Q_OBJECT
 public:
  QStringList opened;
 public slots:
  void open(const QUrl& url) { opened << url.toString(); }
};

namespace {

TEST(QtKeyboard, EitherAltCountsAsAnOptionKey) {
  const struct {
    Qt::KeyboardModifiers modifiers;
    std::uint32_t mask;
  } cases[] = {
      {Qt::NoModifier, 0},
      {Qt::ShiftModifier | Qt::ControlModifier | Qt::MetaModifier, 0},
      {Qt::AltModifier, kLeftOptionKeyMask},
      {Qt::GroupSwitchModifier, kRightOptionKeyMask},
      {Qt::AltModifier | Qt::GroupSwitchModifier, kLeftOptionKeyMask | kRightOptionKeyMask},
      {Qt::AltModifier | Qt::ShiftModifier, kLeftOptionKeyMask},
  };
  for (const auto& c : cases) EXPECT_EQ(optionKeyMask(c.modifiers), c.mask) << c.modifiers;
}

TEST(QtWorkspace, OpensOnlyWebAddresses) {
  UrlRecorder recorder;
  const char* schemes[] = {"http", "https", "HTTP", "file", "ftp", "javascript", "mailto", "data"};
  for (const char* scheme : schemes) QDesktopServices::setUrlHandler(scheme, &recorder, "open");

  const struct {
    const char* url;
    bool opened;
  } cases[] = {
      {"http://lensbrook.example/lensbrook/", true},
      {"https://lensbrook.example/lensbrook/", true},
      {"HTTPS://lensbrook.example/download?v=2", true},
      {"file:///etc/passwd", false},
      {"ftp://lensbrook.example/lensbrook/", false},
      {"javascript:alert(1)", false},
      {"mailto:someone@lensbrook.example", false},
      {"data:text/html,<b>x</b>", false},
      {"http://", false},
      {"/lensbrook/", false},
      {"", false},
      {"http://exa mple.com/", false},
  };
  QtWorkspace workspace;
  for (const auto& c : cases) {
    recorder.opened.clear();
    EXPECT_EQ(workspace.openURL(c.url), c.opened) << c.url;
    EXPECT_EQ(recorder.opened.size(), c.opened ? 1 : 0) << c.url;
  }
  for (const char* scheme : schemes) QDesktopServices::unsetUrlHandler(scheme);
}

TEST(DropletApplication, NamedAfterItsBundleFolder) {
  const struct {
    const char* bundle;
    const char* name;
  } cases[] = {
      {"/home/ann/Desktop/Shrink Photos.app", "Shrink Photos"},
      {"/home/ann/Desktop/Shrink Photos.app/", "Shrink Photos"},
      {"/home/ann/v2.0 Resize.app", "v2.0 Resize"},
      {"/home/ann/Resize.App", "Resize.App"},
      {"/home/ann/Resize", "Resize"},
      {"/home/ann/.app", ".app"},
      {"Relative.app", "Relative"},
  };
  for (const auto& c : cases) EXPECT_EQ(dropletDisplayName(c.bundle), c.name) << c.bundle;
  EXPECT_EQ(QApplication::applicationDisplayName(), QStringLiteral("Shrink Photos"));
  EXPECT_FALSE(QApplication::windowIcon().isNull());
  EXPECT_FALSE(QApplication::quitOnLastWindowClosed());
}

TEST(DropletApplication, WindowsOnlyWhereSomeoneCanSeeThemOnAWindowSystemThatAnswers) {
  const struct {
    const char* qtPlatform;
    bool xAnswers;
    bool waylandAnswers;
    bool windows;
    const char* chosenPlatform;
  } cases[] = {
      {nullptr, false, false, false, nullptr},
      {"", false, false, false, nullptr},
      // With only one window system answering, Qt must not try the other and abort.
      {nullptr, true, false, true, "xcb"},
      {"", true, false, true, "xcb"},
      {nullptr, false, true, true, "wayland"},
      {nullptr, true, true, true, nullptr},
      // The user's own platform is kept, whether its display answers or not.
      {"xcb", true, false, true, nullptr},
      {"xcb", false, false, true, nullptr},
      {"wayland", false, true, true, nullptr},
      {"wayland;xcb", true, false, true, nullptr},
      {"eglfs", false, false, true, nullptr},
      {"offscreen", true, false, false, nullptr},
      {"minimal", false, true, false, nullptr},
      {"offscreen:fontengine=freetype", true, true, false, nullptr},
  };
  for (const auto& c : cases) {
    const WindowSystemChoice choice = chooseWindowSystem(c.qtPlatform, c.xAnswers, c.waylandAnswers);
    const std::string row = std::string(c.qtPlatform ? c.qtPlatform : "-") + " x=" +
                            std::to_string(c.xAnswers) + " wayland=" +
                            std::to_string(c.waylandAnswers);
    EXPECT_EQ(choice.windows, c.windows) << row;
    EXPECT_EQ(std::string(choice.qtPlatform ? choice.qtPlatform : "-"),
              std::string(c.chosenPlatform ? c.chosenPlatform : "-"))
        << row;
  }
}

TEST(QtApplication, TerminateEndsTheLoopAtItsFirstTurnDespiteAWindowThatStaysOpen) {
  QtInterfaceLoader loader;
  ProgressWindowOutlets progress;
  ASSERT_TRUE(loader.loadMainMenu(progress));
  progress.progressWindow->makeKeyAndOrderFront();
  QtApplication application;
  EXPECT_FALSE(application.isTerminating());
  application.terminate();
  EXPECT_TRUE(application.isTerminating());

  bool stuck = false;
  QTimer guard;
  guard.setSingleShot(true);
  QObject::connect(&guard, &QTimer::timeout, [&] {
    stuck = true;
    QCoreApplication::exit(1);
  });
  guard.start(5000);
  QElapsedTimer clock;
  clock.start();
  EXPECT_EQ(QCoreApplication::exec(), 0);
  EXPECT_FALSE(stuck);
  EXPECT_LT(clock.elapsed(), 4000);
}

}  // namespace
}  // namespace lensbrook

#include "desktop_test.moc"
