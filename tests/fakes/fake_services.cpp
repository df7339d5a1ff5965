#include "tests/fakes/fake_services.h"

namespace lensbrook::fakes {

double FakeClock::now() {
  record("now " + std::to_string(seconds));
  return seconds;
}

void RecordingLog::write(const std::string& line) {
  record("log " + line);
  lines.push_back(line);
}

int ScriptedAlerts::runAlert(const Alert& alert) {
  shown.push_back(alert);
  int answer = alert.answerWithoutChoice;
  if (!answers.empty()) {
    answer = answers.front();
    answers.pop_front();
  }
  record("alert " + alert.title + " -> " + std::to_string(answer));
  return answer;
}

void FakeApplication::terminate() {
  record("terminate");
  ++terminateCalls;
}

std::uint32_t FakeKeyboard::currentKeyModifiers() {
  record("currentKeyModifiers");
  return modifiers;
}

bool RecordingWorkspace::openURL(const std::string& url) {
  record("openURL " + url);
  openedURLs.push_back(url);
  return handsOn;
}

std::optional<std::int32_t> ScriptedSystemVersion::querySystemVersion() {
  record("querySystemVersion");
  ++queries;
  if (answers.empty()) return std::nullopt;
  const auto answer = answers.front();
  answers.pop_front();
  return answer;
}

}  // namespace lensbrook::fakes
