#include <gtest/gtest.h>

#include <sstream>

#include "platform/terminal/terminal_alerts.h"
#include "platform/terminal/terminal_desktop.h"
#include "platform/terminal/terminal_progress.h"

namespace lensbrook {
namespace {

Alert warning() {
  Alert alert;
  alert.style = AlertStyle::Critical;
  alert.title = "Change the dropped files?";
  alert.message = "Files will be written over.";
  alert.defaultButton = "Continue";
  alert.alternateButton = "Quit";
  alert.answerWithoutChoice = kAlertAlternate;
  return alert;
}

TEST(TerminalAlertsTest, AnswersFromTheReplyOrTheSafeChoice) {
  Alert threeButtons = warning();
  threeButtons.otherButton = "Later";
  Alert onlyOther = warning();
  onlyOther.alternateButton.clear();
  onlyOther.otherButton = "Skip";
  onlyOther.answerWithoutChoice = kAlertOther;
  struct Case {
    std::string input;
    Alert alert;
    int answer;
  };
  for (const Case& c : std::vector<Case>{{"\n", warning(), kAlertDefault},
                                         {"1\n", warning(), kAlertDefault},
                                         {"2\n", warning(), kAlertAlternate},
                                         {"  2 \r\n", warning(), kAlertAlternate},
                                         {"continue\n", warning(), kAlertDefault},
                                         {"QUIT\n", warning(), kAlertAlternate},
                                         {"1", warning(), kAlertDefault},  // no line end
                                         {"", warning(), kAlertAlternate},  // end of input
                                         {"3\n", warning(), kAlertAlternate},
                                         {"yes\n", warning(), kAlertAlternate},
                                         {"3\n", threeButtons, kAlertOther},
                                         {"2\n", onlyOther, kAlertOther},
                                         {"", onlyOther, kAlertOther}}) {
    std::istringstream in(c.input);
    std::ostringstream out;
    EXPECT_EQ(TerminalAlerts(in, out).runAlert(c.alert), c.answer) << c.input;
  }
}

TEST(TerminalAlertsTest, ShowsTitleMessageAndNumberedButtonsAndTellsWhatItTook) {
  std::istringstream in("");
  std::ostringstream out;
  TerminalAlerts(in, out).runAlert(warning());
  EXPECT_EQ(out.str(),
            "\n(!) Change the dropped files?\nFiles will be written over.\n"
            "  1) Continue  [Enter]\n  2) Quit\n> \nNo answer; taking: Quit\n");
  std::istringstream piped("2\n");
  std::ostringstream echoed;
  TerminalAlerts(piped, echoed, true).runAlert(warning());
  EXPECT_TRUE(echoed.str().ends_with("> 2\n")) << echoed.str();
}

// Drives the parts as the engine does: starting values, then two items.
void runTwoItems(InterfaceLoader& loader) {
  ProgressWindowOutlets outlets;
  ASSERT_TRUE(loader.loadMainMenu(outlets));
  outlets.descriptionText->setStringValue("2 left");
  outlets.currentFile->setStringValue("a.tif");
  outlets.timeRemaining->setStringValue("Estimating");
  outlets.progressBar->setMaxValue(2);
  outlets.progressBar->setMinValue(0);
  outlets.progressWindow->center();
  outlets.progressWindow->makeKeyAndOrderFront();
  for (const char* name : {"a.tif", "new\nline \xc3\xa9t\xc3\xa9.jpg"}) {
    outlets.progressBar->incrementBy(1);
    outlets.descriptionText->setStringValue(name[0] == 'a' ? "2 left" : "1 left");
    outlets.currentFile->setStringValue(name);
    outlets.timeRemaining->setStringValue("Soon");
  }
}

TEST(TerminalProgressTest, OneLinePerItemWhenNotOnATerminal) {
  std::ostringstream out;
  {
    TerminalInterfaceLoader loader(out, false);
    runTwoItems(loader);
  }
  EXPECT_EQ(out.str(),
            "[1/2] 2 left - a.tif - Estimating\n"
            "[2/2] 1 left - new line \xc3\xa9t\xc3\xa9.jpg - Soon\n");
}

TEST(TerminalProgressTest, OnATerminalTheLineIsRedrawnInPlaceWithinItsWidth) {
  std::ostringstream out;
  {
    TerminalInterfaceLoader loader(out, true, 26);
    runTwoItems(loader);
  }
  std::string shown = out.str();
  EXPECT_EQ(shown.find('\n'), shown.size() - 1);  // one line, ended when the window goes
  std::string last = shown.substr(shown.rfind('\r'));
  // 26 characters: the two-byte letter counts once.
  EXPECT_EQ(last, "\r[2/2] 1 left - new line \xc3\xa9t\x1b[K\n");
  EXPECT_TRUE(shown.starts_with("\r[0/2] 2 left - a.tif - Est\x1b[K\r")) << shown;  // first at the show
}

TEST(TerminalDesktopTest, OnlyWebAddressesArePrintedAndNoOptionKeyIsHeld) {
  std::ostringstream out;
  TerminalWorkspace workspace(out);
  EXPECT_TRUE(workspace.openURL("https://lensbrook.org/lensbrook/"));
  EXPECT_TRUE(workspace.openURL("http://example.org/"));
  EXPECT_FALSE(workspace.openURL("file:///etc/passwd"));
  EXPECT_FALSE(workspace.openURL("/lensbrook/"));
  EXPECT_EQ(out.str(), "https://lensbrook.org/lensbrook/\nhttp://example.org/\n");
  EXPECT_EQ(TerminalKeyboard().currentKeyModifiers(), 0u);
}

}  // namespace
}  // namespace lensbrook
