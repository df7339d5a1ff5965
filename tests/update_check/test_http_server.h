// A small HTTP/1.1 server on 127.0.0.1 for the fetch tests: canned answers per path, and paths
// that never answer. Serves on a thread of its own until destroyed.
#pragma once

#include <atomic>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace lensbrook::testing {

struct CannedResponse {
  int status = 200;
  std::string headers;  // extra header lines, each ending in "\r\n"
  std::string body;
};

class TestHttpServer {
 public:
  TestHttpServer();
  TestHttpServer(const TestHttpServer&) = delete;
  TestHttpServer& operator=(const TestHttpServer&) = delete;
  ~TestHttpServer();

  void serve(const std::string& path, CannedResponse response);
  // Requests for `path` are read and held open, never answered.
  void hang(const std::string& path);
  std::string url(const std::string& path) const;
  // The paths requested so far, in order.
  std::vector<std::string> requests() const;

 private:
  void run();
  void answer(int connection);

  int listener_ = -1;
  int port_ = 0;
  std::atomic<bool> stopping_{false};
  mutable std::mutex mutex_;
  std::map<std::string, CannedResponse> responses_;
  std::set<std::string> hanging_;
  std::vector<std::string> requests_;
  std::vector<int> held_;
  std::thread thread_;
};

// A loopback port on which nothing listens.
int closedPort();

}  // namespace lensbrook::testing
