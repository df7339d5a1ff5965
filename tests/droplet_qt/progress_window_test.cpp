#include <atomic>
#include <cstdlib>
#include <thread>

#include <QApplication>
#include <QProgressBar>
#include <QScreen>

#include <gtest/gtest.h>

#include "platform/qt/elided_label.h"
#include "platform/qt/qt_progress_window.h"

namespace lensbrook {
namespace {

ElidedLabel* label(QWidget* window, const char* name) {
  return window->findChild<ElidedLabel*>(QString::fromLatin1(name));
}

TEST(QtInterfaceLoader, FillsAllFiveOutletsWithTheFormsParts) {
  QtInterfaceLoader loader;
  EXPECT_EQ(loader.window(), nullptr);
  ProgressWindowOutlets outlets;
  ASSERT_TRUE(loader.loadMainMenu(outlets));
  QWidget* window = loader.window();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->windowTitle(), QStringLiteral("Shrink Photos"));
  EXPECT_FALSE(window->isVisible());
  const auto* icon = window->findChild<QLabel*>(QStringLiteral("dropletIcon"));
  ASSERT_NE(icon, nullptr);
  EXPECT_FALSE(icon->pixmap().isNull());
  ASSERT_NE(outlets.progressWindow, nullptr);
  ASSERT_NE(outlets.progressBar, nullptr);

  const std::pair<TextLabel*, const char*> labels[] = {{outlets.descriptionText, "descriptionText"},
                                                       {outlets.currentFile, "currentFile"},
                                                       {outlets.timeRemaining, "timeRemaining"}};
  for (const auto& [outlet, name] : labels) {
    ASSERT_NE(outlet, nullptr) << name;
    outlet->setStringValue(std::string("text for ") + name);
    ASSERT_NE(label(window, name), nullptr) << name;
    EXPECT_EQ(label(window, name)->fullText(), QString("text for ") + name);
  }

  // A second load hands out the same parts rather than a second window.
  ProgressWindowOutlets again;
  ASSERT_TRUE(loader.loadMainMenu(again));
  EXPECT_EQ(again.progressWindow, outlets.progressWindow);
  EXPECT_EQ(again.currentFile, outlets.currentFile);
  EXPECT_EQ(loader.window(), window);
}

TEST(QtInterfaceLoader, FailsOffTheGuiThreadLeavingTheOwnerAlone) {
  QtInterfaceLoader loader;
  ProgressWindowOutlets outlets;
  std::atomic<bool> loaded{true};
  std::thread([&] { loaded = loader.loadMainMenu(outlets); }).join();
  EXPECT_FALSE(loaded);
  EXPECT_EQ(outlets.progressWindow, nullptr);
  EXPECT_EQ(outlets.timeRemaining, nullptr);
  EXPECT_EQ(loader.window(), nullptr);
}

TEST(QtProgressBar, ShowsTheValueWithinItsRange) {
  const int kFull = QtProgressBar::kSteps;
  const struct {
    const char* what;
    double max, min;
    int increments;
    int shown;
  } cases[] = {
      {"nothing started", 14, 0, 0, 0},
      {"3 of 14", 14, 0, 3, (3 * kFull + 7) / 14},
      {"last item started", 14, 0, 14, kFull},
      {"beyond the maximum", 2, 0, 5, kFull},
      {"range not from 0", 12, 10, 11, kFull / 2},
      {"below the minimum", 12, 10, 1, 0},
      {"empty batch", 0, 0, 0, 0},
  };
  for (const auto& c : cases) {
    QProgressBar widget;
    QtProgressBar bar(&widget);
    bar.setMaxValue(c.max);
    bar.setMinValue(c.min);
    for (int i = 0; i < c.increments; ++i) bar.incrementBy(1);
    EXPECT_EQ(widget.value(), c.shown) << c.what;
    EXPECT_EQ(widget.maximum(), kFull) << c.what;  // never Qt's busy animation
  }
  QProgressBar widget;
  QtProgressBar untouched(&widget);
  untouched.incrementBy(25);  // the design's bar starts at 0 of 100
  EXPECT_EQ(widget.value(), kFull / 4);
}

TEST(QtTextLabel, LongNamesAreShortenedInTheMiddleOnOneLine) {
  QtInterfaceLoader loader;
  ProgressWindowOutlets outlets;
  ASSERT_TRUE(loader.loadMainMenu(outlets));
  QWidget* window = loader.window();
  window->resize(460, 150);
  outlets.progressWindow->makeKeyAndOrderFront();
  ElidedLabel* file = label(window, "currentFile");
  const int width = file->width();

  const QString longName = "Item: IMG_" + QString(300, 'x') + "_holiday.jpeg";
  outlets.currentFile->setStringValue(longName.toStdString());
  EXPECT_EQ(file->fullText(), longName);
  EXPECT_TRUE(file->text().startsWith("Item: IMG_"));
  EXPECT_TRUE(file->text().endsWith("_holiday.jpeg"));
  EXPECT_TRUE(file->text().contains(QChar(0x2026)));
  EXPECT_EQ(file->toolTip(), longName);
  EXPECT_EQ(file->width(), width);  // the window did not grow

  const struct {
    std::string set;
    QString shown;
  } shortTexts[] = {
      {"Item: a.jpg", "Item: a.jpg"},
      {"Item: <b>bold</b>.jpg", "Item: <b>bold</b>.jpg"},
      {"Item: two\nlines.jpg", "Item: two lines.jpg"},
      {"Item: caf\xC3\xA9.jpg", QString::fromUtf8("Item: caf\xC3\xA9.jpg")},
  };
  for (const auto& c : shortTexts) {
    outlets.currentFile->setStringValue(c.set);
    EXPECT_EQ(file->text(), c.shown);
    EXPECT_EQ(file->textFormat(), Qt::PlainText);
    EXPECT_TRUE(file->toolTip().isEmpty()) << c.set;
  }
}

TEST(QtWindow, CentredOnTheScreenShownAndNotClosable) {
  QtInterfaceLoader loader;
  ProgressWindowOutlets outlets;
  ASSERT_TRUE(loader.loadMainMenu(outlets));
  QWidget* window = loader.window();
  outlets.progressWindow->center();
  outlets.progressWindow->makeKeyAndOrderFront();
  EXPECT_TRUE(window->isVisible());
  const QRect screen = window->screen()->availableGeometry();
  // Centred to within the frame the window system adds once the window is shown.
  const QPoint offCentre = window->frameGeometry().center() - screen.center();
  const int frame = window->frameGeometry().width() - window->width();
  EXPECT_LE(std::abs(offCentre.x()), frame);
  EXPECT_LE(std::abs(offCentre.y()), frame);
  EXPECT_GE(window->width(), 400);
  EXPECT_LE(window->height(), 250);

  // A batch cannot be stopped: closing the window is refused.
  EXPECT_FALSE(window->close());
  EXPECT_TRUE(window->isVisible());
}

}  // namespace
}  // namespace lensbrook
