#include <atomic>
#include <thread>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "platform/qt/qt_alerts.h"

namespace lensbrook {
namespace {

enum class Action { ClickDefault, ClickAlternate, ClickOther, PressEscape, CloseWindow, PressEnter };

QPushButton* buttonNamed(QMessageBox& box, const char* text) {
  for (QAbstractButton* button : box.buttons())
    if (button->text() == QLatin1String(text)) return qobject_cast<QPushButton*>(button);
  return nullptr;
}

// Acts on the alert once it is up, from inside its modal loop.
void actOnNextAlert(Action action) {
  QTimer::singleShot(0, [action] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    switch (action) {
      case Action::ClickDefault: buttonNamed(*box, "Continue")->click(); break;
      case Action::ClickAlternate: buttonNamed(*box, "Quit")->click(); break;
      case Action::ClickOther: buttonNamed(*box, "Later")->click(); break;
      case Action::PressEscape: QTest::keyClick(box, Qt::Key_Escape); break;
      case Action::PressEnter: QTest::keyClick(box, Qt::Key_Return); break;
      case Action::CloseWindow: box->close(); break;
    }
  });
}

Alert threeButtons(int answerWithoutChoice) {
  return {AlertStyle::Critical, "Files will be changed", "Keep copies.", "Continue", "Quit", "Later",
          answerWithoutChoice};
}

TEST(QtAlerts, AnswersByButtonAndWithoutChoice) {
  const struct {
    Alert alert;
    Action action;
    int answer;
  } cases[] = {
      {threeButtons(kAlertDefault), Action::ClickDefault, kAlertDefault},
      {threeButtons(kAlertDefault), Action::ClickAlternate, kAlertAlternate},
      {threeButtons(kAlertDefault), Action::ClickOther, kAlertOther},
      {threeButtons(kAlertDefault), Action::PressEnter, kAlertDefault},
      {threeButtons(kAlertAlternate), Action::PressEnter, kAlertDefault},
      {threeButtons(kAlertAlternate), Action::PressEscape, kAlertAlternate},
      {threeButtons(kAlertAlternate), Action::CloseWindow, kAlertAlternate},
      {threeButtons(kAlertOther), Action::PressEscape, kAlertOther},
      {threeButtons(kAlertDefault), Action::PressEscape, kAlertDefault},
      {{AlertStyle::Plain, "Old system", "", "Continue", "", "", kAlertDefault},
       Action::PressEscape, kAlertDefault},
      // An answer without choice naming a missing button falls back to the default button.
      {{AlertStyle::Plain, "Old system", "", "Continue", "", "", kAlertAlternate},
       Action::CloseWindow, kAlertDefault},
  };
  QtAlerts alerts;
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "action " << static_cast<int>(c.action) << ", without choice "
                                    << c.alert.answerWithoutChoice);
    actOnNextAlert(c.action);
    EXPECT_EQ(alerts.runAlert(c.alert), c.answer);
  }
}

TEST(QtAlerts, BoxShowsTextsPlainlyWithOnlyTheButtonsGiven) {
  const struct {
    Alert alert;
    QMessageBox::Icon icon;
    int buttons;
  } cases[] = {
      {{AlertStyle::Critical, "<b>Files</b> will be changed", "A & B <i>", "Continue", "Quit", "",
        kAlertAlternate},
       QMessageBox::Warning, 2},
      {{AlertStyle::Plain, "<b>Files</b> will be changed", "A & B <i>", "Continue", "", "",
        kAlertDefault},
       QMessageBox::NoIcon, 1},
      {{AlertStyle::Informational, "<b>Files</b> will be changed", "A & B <i>", "Continue", "Quit",
        "Later", kAlertDefault},
       QMessageBox::NoIcon, 3},
  };
  for (const auto& c : cases) {
    const auto box = makeAlertBox(c.alert);
    EXPECT_EQ(box->text(), QStringLiteral("<b>Files</b> will be changed"));
    EXPECT_EQ(box->informativeText(), QStringLiteral("A & B <i>"));
    EXPECT_EQ(box->textFormat(), Qt::PlainText);
    EXPECT_EQ(box->windowTitle(), QStringLiteral("Shrink Photos"));
    EXPECT_EQ(box->icon(), c.icon);
    if (c.icon == QMessageBox::NoIcon) {  // no caution sign: the droplet's own icon instead
      EXPECT_EQ(box->iconPixmap().toImage(), QApplication::windowIcon().pixmap(64, 64).toImage());
    }
    EXPECT_EQ(box->buttons().size(), c.buttons);
    ASSERT_NE(box->defaultButton(), nullptr);
    EXPECT_EQ(box->defaultButton()->text(), QStringLiteral("Continue"));
  }
}

TEST(QtAlerts, AlertFromAnotherThreadIsShownOnTheGuiThreadAndAnswered) {
  QtAlerts alerts;
  std::atomic<int> answer{99};
  std::atomic<bool> done{false};
  std::atomic<bool> shownOnGuiThread{false};
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      shownOnGuiThread = box->thread() == QApplication::instance()->thread();
      buttonNamed(*box, "Quit")->click();
    }
  });
  poll.start(5);
  std::thread checker([&] {
    answer = alerts.runAlert(threeButtons(kAlertDefault));
    done = true;
  });
  QElapsedTimer clock;
  clock.start();
  while (!done && clock.elapsed() < 10000) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  checker.join();
  EXPECT_TRUE(shownOnGuiThread);
  EXPECT_EQ(answer, kAlertAlternate);
}

}  // namespace
}  // namespace lensbrook
