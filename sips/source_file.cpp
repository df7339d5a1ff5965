#include "sips/source_file.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "sips/file_bytes.h"
#include "sips/formats.h"
#include "sips/metadata.h"
#include "sips/output_file.h"

namespace lensbrook::sips {
namespace {

namespace fs = std::filesystem;

std::string cannotRead() { return std::string("cannot read: ") + std::strerror(errno); }

}  // namespace

std::variant<SourceFile, std::string> openSourceFile(const std::string& path) {
  struct stat info;
  if (::stat(path.c_str(), &info) != 0) return cannotRead();
  if (!S_ISREG(info.st_mode)) return std::string("not a file");
  auto head = readHead(path, kSniffBytes);
  if (!head) return cannotRead();
  SourceFile source{path, sniffFormat(*head), !readsWithoutModules(*head), std::nullopt, info.st_mtime};
  if (source.format == Format::Qtif) {
    auto whole = MappedFile::open(path);
    source.qtif = whole ? readQtif(whole->bytes()) : std::nullopt;
    if (!source.qtif) return std::string("not a QuickTime image with JPEG data");
  }
  return source;
}

std::string targetFor(const Plan& plan, const std::string& input) {
  if (!plan.out) return input;
  std::error_code ec;
  if (fs::is_directory(*plan.out, ec)) return (fs::path(*plan.out) / fs::path(input).filename()).string();
  return *plan.out;
}

std::optional<std::string> copyWithEdits(const Plan& plan, const SourceFile& source, const std::string& temp) {
  std::string jpeg = source.qtif ? source.qtif->jpeg : std::string();
  std::optional<MappedFile> whole = source.qtif ? std::nullopt : MappedFile::open(source.path);
  if (!source.qtif && !whole) return cannotRead();
  std::span<char> file = source.qtif ? std::span<char>(jpeg) : whole->scratch();
  Format inside = source.qtif ? Format::Jpeg : *source.format;
  return editMetadata(file, inside, plan.metadata, [&](std::string_view start, std::string_view rest) { return writeWhole(temp, start, rest); });
}

std::optional<std::string> wrapQtif(const std::string& temp, int width, int height) {
  if (width > 0xffff || height > 0xffff) return std::string("too large for a QuickTime image");
  std::string wrapped;
  if (auto jpeg = MappedFile::open(temp)) {
    wrapped = writeQtif(jpeg->bytes(), width, height);
  } else {
    return std::string("cannot read back the JPEG data");
  }
  if (!writeWhole(temp, wrapped)) return std::string("cannot write the result");
  return std::nullopt;
}

std::optional<std::string> writeTextsOnly(const Plan& plan, const SourceFile& source) {
  if (!source.format) return std::string("cannot write this kind of image; choose an output format");
  if (auto refused = refuseEdits(*source.format, plan.metadata)) return refused;
  std::string error;
  auto output = OutputFile::create(targetFor(plan, source.path), &error);
  if (!output) return error;
  if (auto failed = copyWithEdits(plan, source, output->tempPath())) return failed;
  if (source.qtif) {
    if (auto failed = wrapQtif(output->tempPath(), source.qtif->width, source.qtif->height)) return failed;
  }
  return output->commit();
}

std::optional<std::string> processTextsOnly(const Plan& plan, const std::string& input) {
  auto opened = openSourceFile(input);
  if (auto* error = std::get_if<std::string>(&opened)) return *error;
  return writeTextsOnly(plan, std::get<SourceFile>(opened));
}

}  // namespace lensbrook::sips
