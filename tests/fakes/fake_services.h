// Fakes of the small services: clock, log, alerts, application, keyboard, workspace, system version.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/alerts.h"
#include "platform/clock.h"
#include "platform/desktop.h"
#include "shared/log.h"
#include "tests/fakes/call_journal.h"

namespace lensbrook::fakes {

// Stands still unless advanced; each reading is recorded.
class FakeClock : public Clock, public Recorder {
 public:
  double seconds = 1000.0;
  void advance(double delta) { seconds += delta; }
  double now() override;
};

class RecordingLog : public Log, public Recorder {
 public:
  std::vector<std::string> lines;
  void write(const std::string& line) override;
};

// Answers alerts from `answers` in order; once they run out, answers as a user who gives no
// answer would (the alert's answerWithoutChoice).
class ScriptedAlerts : public Alerts, public Recorder {
 public:
  std::deque<int> answers;
  std::vector<Alert> shown;
  int runAlert(const Alert& alert) override;
};

class FakeApplication : public Application, public Recorder {
 public:
  int terminateCalls = 0;
  void terminate() override;
  bool isTerminating() const override { return terminateCalls > 0; }
};

class FakeKeyboard : public Keyboard, public Recorder {
 public:
  std::uint32_t modifiers = 0;
  std::uint32_t currentKeyModifiers() override;
};

class RecordingWorkspace : public Workspace, public Recorder {
 public:
  std::vector<std::string> openedURLs;
  bool handsOn = true;  // what openURL answers
  bool openURL(const std::string& url) override;
};

// Answers queries from `answers` in order; once they run out, the query fails.
class ScriptedSystemVersion : public SystemVersionSource, public Recorder {
 public:
  std::deque<std::optional<std::int32_t>> answers;
  int queries = 0;
  std::optional<std::int32_t> querySystemVersion() override;
};

}  // namespace lensbrook::fakes
