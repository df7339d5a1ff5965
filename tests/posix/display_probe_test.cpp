#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "platform/posix/display_probe.h"
#include "tests/posix/temp_folder.h"

namespace lensbrook {
namespace {

using testing::TempFolder;
using testing::writeText;

// A stream socket bound to `address` (a path, or an abstract name starting with '\0'), listening
// unless `listening` is false; closed with the test.
class Socket {
 public:
  explicit Socket(const std::string& address, bool listening = true, int backlog = 8) {
    fd_ = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un socketAddress = {};
    socketAddress.sun_family = AF_UNIX;
    std::memcpy(socketAddress.sun_path, address.data(), address.size());
    const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + address.size());
    EXPECT_EQ(::bind(fd_, reinterpret_cast<const sockaddr*>(&socketAddress), length), 0)
        << std::strerror(errno);
    if (listening) {
      EXPECT_EQ(::listen(fd_, backlog), 0) << std::strerror(errno);
    }
  }
  Socket(const Socket&) = delete;
  Socket& operator=(const Socket&) = delete;
  ~Socket() { ::close(fd_); }

 private:
  int fd_ = -1;
};

// A socket file whose server has gone: the file stays, nobody accepts.
void leaveStaleSocket(const std::string& path) { Socket gone(path); }

TEST(DisplayProbe, XDisplayAnswersOnlyWhereAServerListens) {
  TempFolder folder;
  Socket server(folder / "X7");
  leaveStaleSocket(folder / "X8");
  writeText(folder / "X9", "not a socket");
  // Abstract names are shared by the whole machine; the temporary folder keeps this one unique.
  Socket abstractOnly(std::string(1, '\0') + (folder / "X11"));
  const struct {
    const char* display;
    bool answers;
  } cases[] = {
      {":7", true},         {":7.0", true},       {"unix:7", true},     {"unix:7.1", true},
      {":11", true},        {":8", false},        {":9", false},        {":10", false},
      {"unix:10.0", false}, {"", false},          {"7", false},         {":", false},
      {":x", false},        {":7.", false},       {":7.x", false},      {"otherhost", false},
      // Other hosts are not contacted at start-up.
      {"otherhost:0", true}, {"localhost:10.0", true}, {"[::1]:3", true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(xDisplayAnswers(c.display, folder.path()), c.answers) << c.display;
  }
}

TEST(DisplayProbe, WaylandDisplayAnswersOnlyWhereACompositorListens) {
  TempFolder folder;
  Socket compositor(folder / "wayland-1");
  leaveStaleSocket(folder / "wayland-2");
  writeText(folder / "wayland-3", "not a socket");
  const std::string tooLong = "/" + std::string(120, 'w');
  const struct {
    std::string display, runtimeFolder;
    bool answers;
  } cases[] = {
      {"wayland-1", folder.path(), true},
      {folder / "wayland-1", "", true},
      {folder / "wayland-1", "/nowhere", true},
      {"wayland-1", "", false},
      {"wayland-2", folder.path(), false},
      {"wayland-3", folder.path(), false},
      {"wayland-4", folder.path(), false},
      {"", folder.path(), false},
      {tooLong, folder.path(), false},
      {"wayland-1", folder.path() + tooLong, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(waylandDisplayAnswers(c.display, c.runtimeFolder), c.answers)
        << c.display << " in " << c.runtimeFolder;
  }
}

TEST(DisplayProbe, ServerTooBusyToAcceptStillAnswersAndTheProbeDoesNotWait) {
  TempFolder folder;
  Socket server(folder / "wayland-0", true, 0);
  // Fill the server's queue so that one more connection would have to wait.
  std::vector<int> waiting;
  for (int i = 0; i < 16; ++i) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0);
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    std::strcpy(address.sun_path, (folder / "wayland-0").c_str());
    const bool queued = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    waiting.push_back(fd);
    if (!queued) break;
  }
  ASSERT_LT(waiting.size(), 16u) << "the queue never filled";
  EXPECT_TRUE(waylandDisplayAnswers("wayland-0", folder.path()));
  for (int fd : waiting) ::close(fd);
}

}  // namespace
}  // namespace lensbrook
