#include "tests/update_check/update_fakes.h"

#include <thread>

namespace lensbrook::fakes {

std::optional<std::string> ServedFeed::fetch(const std::string& url) {
  std::lock_guard lock(mutex_);
  fetched_.push_back(url);
  return body_;
}

std::vector<std::string> ServedFeed::fetched() const {
  std::lock_guard lock(mutex_);
  return fetched_;
}

std::optional<std::string> MemoryDefaults::stringForKey(const std::string& key) {
  std::lock_guard lock(mutex_);
  const auto found = values_.find(key);
  if (found == values_.end()) return std::nullopt;
  return found->second;
}

void MemoryDefaults::setString(const std::string& key, const std::string& value) {
  std::lock_guard lock(mutex_);
  values_[key] = value;
}

std::map<std::string, std::string> MemoryDefaults::values() const {
  std::lock_guard lock(mutex_);
  return values_;
}

int AnsweringAlerts::runAlertAndWait(const Alert& alert) {
  std::unique_lock lock(mutex_);
  shown_.push_back(alert);
  ++up_;
  mostAtOnce_ = std::max(mostAtOnce_, up_);
  changed_.notify_all();
  changed_.wait_for(lock, std::chrono::seconds(10), [this] { return mostAtOnce_ >= gate_; });
  --up_;
  return answer_.value_or(alert.answerWithoutChoice);
}

std::vector<Alert> AnsweringAlerts::shown() const {
  std::lock_guard lock(mutex_);
  return shown_;
}

int AnsweringAlerts::mostAtOnce() const {
  std::lock_guard lock(mutex_);
  return mostAtOnce_;
}

bool LockedWorkspace::openURL(const std::string& url) {
  std::lock_guard lock(mutex_);
  opened_.push_back(url);
  return true;
}

std::vector<std::string> LockedWorkspace::opened() const {
  std::lock_guard lock(mutex_);
  return opened_;
}

std::string feedNaming(const std::string& version) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><plist version=\"1.0\"><dict>"
         "<key>newVersionNumber</key><string>" + version + "</string>"
         "<key>newProductURL</key><string>" + kFeedProductURL + "</string>"
         "<key>newDownloadURL</key><string>" + kFeedDownloadURL + "</string>"
         "<key>newBuildNumber</key><string>77</string></dict></plist>";
}

bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

}  // namespace lensbrook::fakes
