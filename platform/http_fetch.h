// Fetching a small document from the web.
#pragma once

#include <optional>
#include <string>

namespace lensbrook {

class HttpFetch {
 public:
  virtual ~HttpFetch() = default;
  // The body of `url` (http or https only) when the server answers with success; nullopt for any
  // other scheme, an unreachable host, an HTTP error status, a time-out or an oversized body.
  // Blocks until done, but never for ever. Safe for concurrent use from any thread.
  virtual std::optional<std::string> fetch(const std::string& url) = 0;
};

}  // namespace lensbrook
