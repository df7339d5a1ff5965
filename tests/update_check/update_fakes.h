// Thread-safe recording fakes for the update check and the editor's start-up: checks run on
// threads of their own, so every fake locks.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/desktop.h"
#include "platform/http_fetch.h"
#include "platform/thread_alerts.h"
#include "platform/user_defaults.h"

namespace lensbrook::fakes {

class ServedFeed : public HttpFetch {
 public:
  explicit ServedFeed(std::optional<std::string> body) : body_(std::move(body)) {}
  std::optional<std::string> fetch(const std::string& url) override;
  std::vector<std::string> fetched() const;

 private:
  mutable std::mutex mutex_;
  std::optional<std::string> body_;
  std::vector<std::string> fetched_;
};

class MemoryDefaults : public UserDefaults {
 public:
  std::optional<std::string> stringForKey(const std::string& key) override;
  void setString(const std::string& key, const std::string& value) override;
  std::map<std::string, std::string> values() const;
  void set(const std::string& key, const std::string& value) { setString(key, value); }

 private:
  mutable std::mutex mutex_;
  std::map<std::string, std::string> values_;
};

// Answers with `answer`, or alert.answerWithoutChoice when it is nullopt. With `gate` > 1, each
// alert waits until that many are up at once before it is answered (a bounded wait).
class AnsweringAlerts : public ThreadAlerts {
 public:
  explicit AnsweringAlerts(std::optional<int> answer, int gate = 1) : answer_(answer), gate_(gate) {}
  int runAlertAndWait(const Alert& alert) override;
  std::vector<Alert> shown() const;
  int mostAtOnce() const;

 private:
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::optional<int> answer_;
  int gate_;
  int up_ = 0;
  int mostAtOnce_ = 0;
  std::vector<Alert> shown_;
};

class LockedWorkspace : public Workspace {
 public:
  bool openURL(const std::string& url) override;
  std::vector<std::string> opened() const;

 private:
  mutable std::mutex mutex_;
  std::vector<std::string> opened_;
};

// The products' pages a test feed names.
inline constexpr const char* kFeedProductURL = "http://lensbrook.test/lensbrook/2.1/";
inline constexpr const char* kFeedDownloadURL = "https://lensbrook.test/download/lensBrook-2.1.tar.gz";

// An XML feed naming release `version`, with the two pages above.
std::string feedNaming(const std::string& version);

// Polls `done` until it holds or `limit` passes; returns its last answer.
bool waitUntil(const std::function<bool()>& done,
               std::chrono::milliseconds limit = std::chrono::seconds(10));

}  // namespace lensbrook::fakes
