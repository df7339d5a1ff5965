#include "tests/update_check/test_http_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace lensbrook::testing {
namespace {

int boundSocket() {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) throw std::runtime_error("socket");
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) throw std::runtime_error("bind");
  return fd;
}

int portOf(int fd) {
  sockaddr_in address{};
  socklen_t length = sizeof address;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  return ntohs(address.sin_port);
}

const char* reason(int status) {
  switch (status) {
    case 200: return "OK";
    case 302: return "Found";
    case 404: return "Not Found";
    default: return "Status";
  }
}

// Reads up to the end of the request head, giving up after a few seconds.
std::string readHead(int connection) {
  std::string head;
  char buffer[4096];
  while (head.find("\r\n\r\n") == std::string::npos && head.size() < 65536) {
    pollfd ready{connection, POLLIN, 0};
    if (::poll(&ready, 1, 3000) <= 0) break;
    const ssize_t got = ::read(connection, buffer, sizeof buffer);
    if (got <= 0) break;
    head.append(buffer, static_cast<std::size_t>(got));
  }
  return head;
}

}  // namespace

TestHttpServer::TestHttpServer() {
  listener_ = boundSocket();
  if (::listen(listener_, 16) != 0) throw std::runtime_error("listen");
  port_ = portOf(listener_);
  thread_ = std::thread([this] { run(); });
}

TestHttpServer::~TestHttpServer() {
  stopping_ = true;
  thread_.join();
  for (int fd : held_) ::close(fd);
  ::close(listener_);
}

void TestHttpServer::serve(const std::string& path, CannedResponse response) {
  std::lock_guard lock(mutex_);
  responses_[path] = std::move(response);
}

void TestHttpServer::hang(const std::string& path) {
  std::lock_guard lock(mutex_);
  hanging_.insert(path);
}

std::string TestHttpServer::url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + path;
}

std::vector<std::string> TestHttpServer::requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

void TestHttpServer::run() {
  while (!stopping_) {
    pollfd ready{listener_, POLLIN, 0};
    if (::poll(&ready, 1, 50) <= 0) continue;
    const int connection = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (connection >= 0) answer(connection);
  }
}

void TestHttpServer::answer(int connection) {
  const std::string head = readHead(connection);
  const std::size_t start = head.find(' ') + 1;
  const std::string path = start == 0 ? "" : head.substr(start, head.find(' ', start) - start);
  CannedResponse response{404, "", "<html><body>Not here</body></html>"};
  {
    std::lock_guard lock(mutex_);
    requests_.push_back(path);
    if (hanging_.count(path)) {
      held_.push_back(connection);
      return;
    }
    if (const auto found = responses_.find(path); found != responses_.end()) response = found->second;
  }
  const std::string reply = "HTTP/1.1 " + std::to_string(response.status) + " " + reason(response.status) +
                            "\r\nContent-Length: " + std::to_string(response.body.size()) +
                            "\r\nConnection: close\r\n" + response.headers + "\r\n" + response.body;
  std::size_t sent = 0;
  while (sent < reply.size()) {
    const ssize_t wrote = ::send(connection, reply.data() + sent, reply.size() - sent, MSG_NOSIGNAL);
    if (wrote <= 0) break;
    sent += static_cast<std::size_t>(wrote);
  }
  ::close(connection);
}

int closedPort() {
  const int fd = boundSocket();
  const int port = portOf(fd);
  ::close(fd);
  return port;
}

}  // namespace lensbrook::testing
