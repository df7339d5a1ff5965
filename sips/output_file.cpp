#include "sips/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <filesystem>

namespace lensbrook::sips {
namespace {

namespace fs = std::filesystem;

// Fixed storage, so a signal handler can read it without allocating.
std::array<char, 4096> g_pending{};

void setPending(const std::string& path) {
  if (path.size() < g_pending.size()) {
    std::memcpy(g_pending.data(), path.c_str(), path.size() + 1);
  } else {
    g_pending[0] = '\0';
  }
}

fs::path followLinks(fs::path path) {
  std::error_code ec;
  for (int hops = 0; hops < 40 && fs::is_symlink(path, ec); ++hops) {
    fs::path link = fs::read_symlink(path, ec);
    if (ec) break;
    path = link.is_absolute() ? link : path.parent_path() / link;
  }
  return path;
}

bool syncPath(const std::string& path, int flags) {
  int fd = ::open(path.c_str(), flags | O_CLOEXEC);
  if (fd < 0) return false;
  bool ok = ::fsync(fd) == 0;
  return ::close(fd) == 0 && ok;
}

mode_t newFileMode() {
  mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

}  // namespace

std::optional<OutputFile> OutputFile::create(const std::string& target, std::string* error) {
  fs::path final = followLinks(fs::path(target));
  fs::path dir = final.parent_path().empty() ? fs::path(".") : final.parent_path();
  std::string pattern = (dir / ("." + final.filename().string() + ".sips-XXXXXX")).string();
  int fd = ::mkstemp(pattern.data());
  if (fd < 0) {
    *error = "cannot write in " + dir.string() + ": " + std::strerror(errno);
    return std::nullopt;
  }
  ::close(fd);
  setPending(pattern);
  return OutputFile(pattern, final.string());
}

OutputFile::OutputFile(OutputFile&& other) noexcept
    : temp_(std::move(other.temp_)), final_(std::move(other.final_)), done_(other.done_) {
  other.done_ = true;
}

OutputFile::~OutputFile() {
  if (done_) return;
  ::unlink(temp_.c_str());
  g_pending[0] = '\0';
}

std::optional<std::string> OutputFile::commit(std::optional<unsigned> wanted) {
  struct stat existing;
  mode_t mode = ::stat(final_.c_str(), &existing) == 0 ? (existing.st_mode & 07777) : newFileMode();
  if (wanted) mode = mode_t(*wanted);
  if (::chmod(temp_.c_str(), mode) != 0 || !syncPath(temp_, O_RDONLY)) {
    return std::string("cannot flush the result: ") + std::strerror(errno);
  }
  if (::rename(temp_.c_str(), final_.c_str()) != 0) {
    return std::string("cannot replace the file: ") + std::strerror(errno);
  }
  done_ = true;
  g_pending[0] = '\0';
  fs::path dir = fs::path(final_).parent_path();
  syncPath(dir.empty() ? "." : dir.string(), O_RDONLY | O_DIRECTORY);
  return std::nullopt;
}

const char* pendingTempPath() { return g_pending.data(); }

}  // namespace lensbrook::sips
