// HttpFetch on libcurl.
#pragma once

#include <chrono>
#include <cstddef>

#include "platform/http_fetch.h"

namespace lensbrook {

class CurlHttpFetch : public HttpFetch {
 public:
  // Each fetch gives up after `timeout` in all, connecting included, and refuses a body larger
  // than `maxBytes`. Redirects are followed, to http and https only.
  explicit CurlHttpFetch(std::chrono::milliseconds timeout = std::chrono::seconds(30),
                         std::size_t maxBytes = 1 << 20);

  std::optional<std::string> fetch(const std::string& url) override;

 private:
  std::chrono::milliseconds timeout_;
  std::size_t maxBytes_;
};

}  // namespace lensbrook
