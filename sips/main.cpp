// sips: the image tool that every droplet runs once or twice per file. The size probe is answered
// here from the files' first bytes; a run that only changes texts goes to the texts library
// (exiv2 alone); any other run, and any file the header reader is not sure of, goes to the engine
// library. Each is loaded only then: loading libvips and the hundred libraries behind it costs
// far more than a probe or a texts edit.
#include <dlfcn.h>
#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "sips/arguments.h"
#include "sips/engine_entry.h"
#include "sips/file_bytes.h"
#include "sips/formats.h"
#include "sips/header_reader.h"
#include "sips/qtif.h"

namespace {

namespace sips = lensbrook::sips;

// QuickTime images hold their JPEG whole; larger ones are left to the engine.
constexpr std::uintmax_t kQtifReadLimit = 64 * 1024 * 1024;

std::optional<sips::PixelSize> probeFile(const std::string& path) {
  struct stat info;
  if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
  auto head = sips::readHead(path, sips::kHeaderBytes);
  if (!head) return std::nullopt;
  if (sips::sniffFormat(*head) != sips::Format::Qtif) return sips::readUprightSize(*head);
  if (std::uintmax_t(info.st_size) > kQtifReadLimit) return std::nullopt;
  auto whole = sips::readHead(path, std::size_t(info.st_size));
  auto image = whole ? sips::readQtif(*whole) : std::nullopt;
  return image ? sips::readUprightSize(image->jpeg) : std::nullopt;
}

// Answers a run that only asks for sizes, in the engine's words; false, having printed nothing,
// when any file needs the engine.
bool answerProbe(const sips::Plan* plan) {
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

// The engine libraries sit beside the executable, in every copy of the bundle.
std::string libraryPath(const char* name) {
  std::error_code ec;
  auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return name;
  return (self.parent_path() / name).string();
}

}  // namespace

int main(int argc, char** argv) {
  auto parsed = sips::parseArguments(std::vector<std::string>(argv + 1, argv + argc));
  const sips::Plan* plan = std::get_if<sips::Plan>(&parsed);
  if (answerProbe(plan)) return 0;
  bool textsOnly = plan && plan->changesOnlyTexts();
  std::string path = libraryPath(textsOnly ? sips::kTextsLibrary : sips::kEngineLibrary);
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
