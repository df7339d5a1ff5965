#include "lensBrook/update_check.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <system_error>
#include <thread>

#include "shared/property_list.h"

namespace lensbrook {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

std::size_t skipDigits(std::string_view text, std::size_t at) {
  while (at < text.size() && isDigit(text[at])) ++at;
  return at;
}

// A number too large or too small for a double: which of the two, from where its first
// significant digit stands.
double outOfRange(std::string_view mantissa, long long exponent, bool negative) {
  const std::size_t point = std::min(mantissa.find('.'), mantissa.size());
  const std::size_t firstSignificant = mantissa.find_first_not_of("0.");
  long long magnitude = exponent;
  if (firstSignificant != std::string_view::npos) {
    magnitude += firstSignificant < point ? static_cast<long long>(point - firstSignificant)
                                          : -static_cast<long long>(firstSignificant - point - 1);
  }
  const double value = magnitude > 0 ? std::numeric_limits<double>::infinity() : 0.0;
  return negative ? -value : value;
}

}  // namespace

double doubleValue(std::string_view text) {
  std::size_t at = 0;
  while (at < text.size() && isSpace(text[at])) ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';

  const std::size_t start = at;
  const std::size_t integerEnd = skipDigits(text, at);
  std::size_t end = integerEnd;
  if (end < text.size() && text[end] == '.') end = skipDigits(text, end + 1);
  // A point without a digit on either side is no number.
  if (end - start <= (integerEnd < end ? 1u : 0u)) return 0.0;
  const std::string_view mantissa = text.substr(start, end - start);

  long long exponent = 0;
  if (end < text.size() && (text[end] == 'e' || text[end] == 'E')) {
    std::size_t digits = end + 1;
    bool exponentNegative = false;
    if (digits < text.size() && (text[digits] == '+' || text[digits] == '-'))
      exponentNegative = text[digits++] == '-';
    const std::size_t exponentEnd = skipDigits(text, digits);
    if (exponentEnd > digits) {
      for (std::size_t i = digits; i < exponentEnd; ++i)
        exponent = std::min(exponent * 10 + (text[i] - '0'), 1'000'000'000LL);
      if (exponentNegative) exponent = -exponent;
      end = exponentEnd;
    }
  }

  double value = 0.0;
  const char* first = text.data() + start;
  const auto [ptr, error] = std::from_chars(first, text.data() + end, value, std::chars_format::general);
  if (error == std::errc::result_out_of_range) return outOfRange(mantissa, exponent, negative);
  if (error != std::errc() || ptr != text.data() + end) return 0.0;
  return negative ? -value : value;
}

std::optional<UpdateFeed> parseUpdateFeed(std::string_view bytes) {
  const std::optional<PropertyList> root = parsePropertyList(bytes);
  if (!root || !root->isDictionary()) return std::nullopt;
  UpdateFeed feed;
  const std::pair<const char*, std::string*> fields[] = {
      {"newVersionNumber", &feed.newVersionNumber},
      {"newProductURL", &feed.newProductURL},
      {"newDownloadURL", &feed.newDownloadURL},
      {"newBuildNumber", &feed.newBuildNumber},
  };
  for (const auto& [key, field] : fields) {
    const PropertyList* entry = root->find(key);
    if (!entry || !entry->isString()) return std::nullopt;
    *field = entry->text;
  }
  return feed;
}

UpdateAlert decideUpdateAlert(const std::optional<UpdateFeed>& feed, std::string_view runningVersion,
                              const std::optional<std::string>& ignoreVersion, bool notifyUser) {
  if (!feed) return notifyUser ? UpdateAlert::Error : UpdateAlert::None;
  if (doubleValue(feed->newVersionNumber) <= doubleValue(runningVersion))
    return notifyUser ? UpdateAlert::NoUpdate : UpdateAlert::None;
  const bool ignored = ignoreVersion && *ignoreVersion == feed->newVersionNumber;
  return notifyUser || !ignored ? UpdateAlert::NewUpdate : UpdateAlert::None;
}

UpdateChecker::UpdateChecker(UpdateCheckEnvironment environment)
    : environment_(std::make_shared<const UpdateCheckEnvironment>(std::move(environment))) {}

namespace {

void runCheck(const UpdateCheckEnvironment& env, bool notifyUser) {
  const std::optional<std::string> body = env.http->fetch(env.feedURL);
  const std::optional<UpdateFeed> feed = body ? parseUpdateFeed(*body) : std::nullopt;
  const std::optional<std::string> ignoreVersion = env.defaults->stringForKey("IgnoreVersion");

  Alert alert;
  const StringTable& texts = env.texts;
  switch (decideUpdateAlert(feed, env.runningVersion, ignoreVersion, notifyUser)) {
    case UpdateAlert::None:
      return;
    case UpdateAlert::NoUpdate:
    case UpdateAlert::Error: {
      const bool error = !feed;
      alert.style = error ? AlertStyle::Critical : AlertStyle::Informational;
      alert.title = texts.text(error ? "ERROR_UPDATE_TITLE" : "NO_UPDATE_TITLE");
      alert.message = texts.text(error ? "ERROR_UPDATE_TEXT" : "NO_UPDATE_TEXT");
      alert.defaultButton = texts.text("OK");
      env.alerts->runAlertAndWait(alert);
      return;
    }
    case UpdateAlert::NewUpdate:
      break;
  }

  alert.style = AlertStyle::Informational;
  alert.title = texts.text("NEW_UPDATE_TITLE");
  alert.message = texts.format("NEW_UPDATE_TEXT", {feed->newVersionNumber});
  alert.defaultButton = texts.text("NEW_UPDATE_DOWNLOAD");
  alert.alternateButton = texts.text("NEW_UPDATE_MORE_INFORMATION");
  alert.otherButton = texts.text("NEW_UPDATE_IGNORE");
  // Escape only reads about the release: it must neither start a download nor silence the offer.
  alert.answerWithoutChoice = kAlertAlternate;
  switch (env.alerts->runAlertAndWait(alert)) {
    case kAlertDefault:
      env.workspace->openURL(feed->newDownloadURL);
      break;
    case kAlertAlternate:
      env.workspace->openURL(feed->newProductURL);
      break;
    case kAlertOther:
      env.defaults->setString("IgnoreVersion", feed->newVersionNumber);
      break;
    default:
      break;
  }
}

}  // namespace

void UpdateChecker::detachCheck(bool notifyUser) const {
  try {
    // The thread holds the environment, so a check still waiting for its answer when the editor
    // quits never uses what was freed.
    std::thread([environment = environment_, notifyUser] { runCheck(*environment, notifyUser); }).detach();
  } catch (const std::system_error&) {
    // No thread could be had; the check is simply not made, as when the network is down.
  }
}

void UpdateChecker::checkForUpdatesAndNotify(bool notifyUser) const { runCheck(*environment_, notifyUser); }

}  // namespace lensbrook
