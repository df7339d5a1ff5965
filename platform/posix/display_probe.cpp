#include "platform/posix/display_probe.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstring>

namespace lensbrook {
namespace {

constexpr std::size_t kSocketPathRoom = sizeof(sockaddr_un::sun_path);

// `address` is a file path, or an abstract name when it starts with '\0'. The connect never
// waits: a listener whose queue is full is busy, not gone, so it counts as answering.
bool socketAnswers(const std::string& address) {
  const bool abstract = !address.empty() && address[0] == '\0';
  if (address.empty() || address.size() > kSocketPathRoom - (abstract ? 0 : 1)) return false;
  sockaddr_un socketAddress = {};
  socketAddress.sun_family = AF_UNIX;
  std::memcpy(socketAddress.sun_path, address.data(), address.size());
  const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + address.size());
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  const bool answers =
      ::connect(fd, reinterpret_cast<const sockaddr*>(&socketAddress), length) == 0 ||
      errno == EAGAIN || errno == EINPROGRESS;
  ::close(fd);
  return answers;
}

bool allDigits(const std::string& text) {
  return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

}  // namespace

bool xDisplayAnswers(const std::string& display, const std::string& socketFolder) {
  const std::size_t colon = display.rfind(':');
  if (colon == std::string::npos) return false;
  const std::string host = display.substr(0, colon);
  const std::string place = display.substr(colon + 1);
  const std::size_t dot = place.find('.');
  const std::string number = place.substr(0, dot);
  if (!allDigits(number) || (dot != std::string::npos && !allDigits(place.substr(dot + 1)))) {
    return false;
  }
  // Only the local sockets are tried; the X client library would also try TCP on this machine
  // for ":N", but X servers have not listened there by default for years.
  if (!host.empty() && host != "unix") return true;
  const std::string path = socketFolder + "/X" + number;
  return socketAnswers(std::string(1, '\0') + path) || socketAnswers(path);
}

bool waylandDisplayAnswers(const std::string& display, const std::string& runtimeFolder) {
  if (display.empty()) return false;
  if (display[0] == '/') return socketAnswers(display);
  return !runtimeFolder.empty() && socketAnswers(runtimeFolder + "/" + display);
}

}  // namespace lensbrook
