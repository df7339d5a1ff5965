// Asking the update feed whether a newer release of the editor exists, and offering it.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/desktop.h"
#include "platform/http_fetch.h"
#include "platform/thread_alerts.h"
#include "platform/user_defaults.h"
#include "shared/string_table.h"

namespace lensbrook {

// The newest release, as the feed names it. Every field is the feed's text, unchanged.
struct UpdateFeed {
  std::string newVersionNumber;
  std::string newProductURL;
  std::string newDownloadURL;
  std::string newBuildNumber;

  bool operator==(const UpdateFeed&) const = default;
};

// The feed in `bytes`, an XML or binary property list. nullopt, which counts as no feed, unless the
// root is a dictionary that holds all four keys as texts; other keys are ignored.
std::optional<UpdateFeed> parseUpdateFeed(std::string_view bytes);

// A version text as a number: leading white space skipped, then the longest leading decimal number
// (sign, digits, "." as the point whatever the locale, exponent); 0.0 when the text does not begin
// with one. "1.10" is 1.1, "1.1.2" is 1.1, "2.0b3" is 2.0. Out-of-range exponents give +-infinity
// or 0.
double doubleValue(std::string_view text);

enum class UpdateAlert { None, NoUpdate, NewUpdate, Error };

// The alert one check shows. Releases are ordered by doubleValue alone; `ignoreVersion` (the
// stored "IgnoreVersion", if any) silences only the automatic check's offer of that exact text.
UpdateAlert decideUpdateAlert(const std::optional<UpdateFeed>& feed, std::string_view runningVersion,
                              const std::optional<std::string>& ignoreVersion, bool notifyUser);

// Everything a check uses. Shared by the checks under way, so it outlives the checker when a check
// is still waiting for an answer as the editor quits.
struct UpdateCheckEnvironment {
  std::shared_ptr<HttpFetch> http;
  std::shared_ptr<UserDefaults> defaults;
  std::shared_ptr<ThreadAlerts> alerts;
  std::shared_ptr<Workspace> workspace;
  StringTable texts;           // the "lensBrook" table
  std::string feedURL;         // the whole address of the feed
  std::string runningVersion;  // the editor's "CFBundleVersion"
};

class UpdateChecker {
 public:
  explicit UpdateChecker(UpdateCheckEnvironment environment);

  // Starts checkForUpdatesAndNotify on a new detached thread and returns at once. Checks are not
  // serialised: each call starts one more, with its own alert.
  void detachCheck(bool notifyUser) const;

  // One complete check on the calling thread: fetch, compare, alert, act on the answer. Blocks
  // while an alert is up, so never run it on the user-interface thread.
  void checkForUpdatesAndNotify(bool notifyUser) const;

 private:
  std::shared_ptr<const UpdateCheckEnvironment> environment_;
};

}  // namespace lensbrook
