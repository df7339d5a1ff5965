// Reading the droplet's recipe: the attribute file (the tool's arguments) and the types file.
#include <algorithm>
#include <array>
#include <iterator>
#include <string_view>
#include <utility>

#include "lensBrooklet/lens_brook_engine.h"

namespace lensbrook {
namespace {

// Format name -> output extension, compared in this order.
constexpr std::array<std::pair<std::string_view, std::string_view>, 9> kFormatExtensions{{
    {"jpeg", "jpg"},
    {"tiff", "tif"},
    {"png", "png"},
    {"gif", "gif"},
    {"jp2", "jp2"},
    {"pict", "pict"},
    {"bmp", "bmp"},
    {"qtif", "qtif"},
    {"psd", "psd"},
}};

std::optional<PropertyList> readPropertyList(FileSystem& files, const std::string& path) {
  const auto bytes = files.readFile(path);
  return bytes ? parsePropertyList(*bytes) : std::nullopt;
}

// The accepted extensions. A list that is not all texts keeps its texts: the user asked for a
// filter, so a damaged list must never widen it to every file.
std::vector<std::string> extensionsIn(const PropertyList& value) {
  if (value.isString()) return {value.text};
  std::vector<std::string> extensions;
  for (const auto& item : value.items) {
    if (item.isString()) extensions.push_back(item.text);
  }
  return extensions;
}

}  // namespace

bool lensBrookEngine::loadDropletAttributes() {
  useDropletTypes = false;
  useFileSuffix = false;
  fileSuffix.reset();
  dropletTypes.clear();
  formatName_.clear();

  fileAttributes = readPropertyList(platform_.files, bundle_.resourcesPath + "/dropletTypes.plist");
  if (fileAttributes && !fileAttributes->isDictionary()) fileAttributes.reset();
  if (const PropertyList* types = fileAttributes ? fileAttributes->find("NSFileTypes") : nullptr) {
    useDropletTypes = true;
    dropletTypes = extensionsIn(*types);
  }

  const auto attributes = readPropertyList(platform_.files, bundle_.resourcesPath + "/dropletAttributes.plist");
  dropletAttributes = attributes ? attributes->asStringArray() : std::nullopt;
  if (!dropletAttributes) return false;

  const auto format = std::find(dropletAttributes->begin(), dropletAttributes->end(), "format");
  if (format == dropletAttributes->end()) return true;
  useFileSuffix = true;
  // A list ending in "format" names no format; the batch then writes nothing (see processItem).
  if (std::next(format) != dropletAttributes->end()) formatName_ = *std::next(format);
  for (const auto& [name, extension] : kFormatExtensions) {
    if (formatName_ == name) {
      fileSuffix = std::string(extension);
      break;
    }
  }
  return true;
}

}  // namespace lensbrook
