#include "platform/http/curl_http_fetch.h"

#include <curl/curl.h>

#include <memory>
#include <mutex>

namespace lensbrook {
namespace {

struct Body {
  std::string bytes;
  std::size_t maxBytes;
};

std::size_t appendBody(char* data, std::size_t size, std::size_t count, void* userdata) {
  Body& body = *static_cast<Body*>(userdata);
  const std::size_t length = size * count;
  // Returning less than was given aborts the transfer.
  if (body.bytes.size() + length > body.maxBytes) return 0;
  body.bytes.append(data, length);
  return length;
}

struct CurlDeleter {
  void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};

}  // namespace

CurlHttpFetch::CurlHttpFetch(std::chrono::milliseconds timeout, std::size_t maxBytes)
    : timeout_(timeout), maxBytes_(maxBytes) {
  // Global set-up is not safe to race with the first fetches, so it happens here, once.
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

std::optional<std::string> CurlHttpFetch::fetch(const std::string& url) {
  std::unique_ptr<CURL, CurlDeleter> handle(curl_easy_init());
  if (!handle) return std::nullopt;
  CURL* curl = handle.get();
  Body body{{}, maxBytes_};
  const long timeoutMs = static_cast<long>(timeout_.count());
  const curl_off_t maxBytes = static_cast<curl_off_t>(maxBytes_);
  const bool configured =
      curl_easy_setopt(curl, CURLOPT_URL, url.c_str()) == CURLE_OK &&
      curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https") == CURLE_OK &&
      curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https") == CURLE_OK &&
      curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L) == CURLE_OK &&
      curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 5L) == CURLE_OK &&
      // Time-outs through signals are not thread-safe; the check runs on its own thread.
      curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L) == CURLE_OK &&
      curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, timeoutMs) == CURLE_OK &&
      curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, timeoutMs) == CURLE_OK &&
      curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, maxBytes) == CURLE_OK &&
      curl_easy_setopt(curl, CURLOPT_FAILONERROR, 1L) == CURLE_OK &&
      curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, appendBody) == CURLE_OK &&
      curl_easy_setopt(curl, CURLOPT_WRITEDATA, &body) == CURLE_OK;
  if (!configured || curl_easy_perform(curl) != CURLE_OK) return std::nullopt;
  long status = 0;
  curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
  if (status < 200 || status > 299) return std::nullopt;
  return std::move(body.bytes);
}

}  // namespace lensbrook
