// sips: the image tool that every droplet runs once or twice per file. The size probe is answered
// here from the files' first bytes; any other run, and any file the header reader is not sure of,
// goes to the engine library, loaded only then: loading libvips and exiv2 and the hundred
// libraries behind them costs far more than most probes.
#include <dlfcn.h>
#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "sips/arguments.h"
#include "sips/engine_entry.h"
#include "sips/formats.h"
#include "sips/header_reader.h"
#include "sips/qtif.h"

namespace {

namespace sips = lensbrook::sips;

// QuickTime images hold their JPEG whole; larger ones are left to the engine.
constexpr std::uintmax_t kQtifReadLimit = 64 * 1024 * 1024;

std::optional<std::string> readStart(const std::string& path, std::size_t limit) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes(limit, '\0');
  in.read(bytes.data(), std::streamsize(limit));
  if (in.bad()) return std::nullopt;
  bytes.resize(std::size_t(in.gcount()));
  return bytes;
}

std::optional<sips::PixelSize> probeFile(const std::string& path) {
  struct stat info;
  if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
  auto head = readStart(path, sips::kHeaderBytes);
  if (!head) return std::nullopt;
  if (sips::sniffFormat(*head) != sips::Format::Qtif) return sips::readUprightSize(*head);
  if (std::uintmax_t(info.st_size) > kQtifReadLimit) return std::nullopt;
  auto whole = readStart(path, std::size_t(info.st_size));
  auto image = whole ? sips::readQtif(*whole) : std::nullopt;
  return image ? sips::readUprightSize(image->jpeg) : std::nullopt;
}

// Answers a run that only asks for sizes, in the engine's words; false, having printed nothing,
// when any file needs the engine.
bool answerProbe(const std::vector<std::string>& arguments) {
  auto parsed = sips::parseArguments(arguments);
  const sips::Plan* plan = std::get_if<sips::Plan>(&parsed);
  if (!plan || plan->queries.empty() || plan->writes() || plan->out) return false;
  std::vector<sips::PixelSize> sizes;
  for (const std::string& input : plan->inputs) {
    auto size = probeFile(input);
    if (!size) return false;
    sizes.push_back(*size);
  }
  for (std::size_t i = 0; i < sizes.size(); ++i) {
    std::printf("%s\n", plan->inputs[i].c_str());
    for (sips::Query query : plan->queries) {
      if (query == sips::Query::PixelHeight) std::printf("  pixelHeight: %d\n", sizes[i].height);
      if (query == sips::Query::PixelWidth) std::printf("  pixelWidth: %d\n", sizes[i].width);
    }
  }
  std::fflush(stdout);
  return true;
}

// The engine library sits beside the executable, in every copy of the bundle.
std::string enginePath() {
  std::error_code ec;
  auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return sips::kEngineLibrary;
  return (self.parent_path() / sips::kEngineLibrary).string();
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> arguments(argv + 1, argv + argc);
  if (answerProbe(arguments)) return 0;
  std::string path = enginePath();
  void* engine = ::dlopen(path.c_str(), RTLD_LAZY | RTLD_LOCAL);
  auto* run = engine ? reinterpret_cast<decltype(&lensbrook_sips_engine_main)>(::dlsym(engine, sips::kEngineEntry))
                     : nullptr;
  if (!run) {
    const char* reason = ::dlerror();
    std::fprintf(stderr, "Error: cannot load the image engine %s (%s)\n", path.c_str(), reason ? reason : "");
    return 1;
  }
  return run(argc, argv);
}
