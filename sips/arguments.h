// The tool's command line turned into a plan, before any file is touched. Pure: no libvips, no
// file access, so it can be tested with a table and fuzzed.
#pragma once

#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace lensbrook::sips {

enum class Format { Jpeg, Tiff, Png, Gif, Jp2, Bmp, Psd, Pict, Qtif };

enum class Property { Artist, Copyright, Description };

// One pixel operation, in the order the command line gives it.
struct Operation {
  enum class Kind {
    FlipHorizontal,
    FlipVertical,
    Rotate,          // angle, clockwise degrees
    Pad,             // height x width canvas, image centred
    Crop,            // height x width, centred, never larger than the image
    Resample,        // exactly height x width
    ResampleWidth,   // width, aspect kept
    ResampleHeight,  // height, aspect kept
    ResampleMax,     // longer side becomes `width` (== `height`), aspect kept
  };
  Kind kind;
  double angle = 0;
  int height = 0;
  int width = 0;

  bool operator==(const Operation&) const = default;
};

// "-s artist TEXT" sets, "-d artist" removes (value absent).
struct MetadataEdit {
  Property property;
  std::optional<std::string> value;

  bool operator==(const MetadataEdit&) const = default;
};

// Quality named by a word or given as a percentage (0..100).
struct Quality {
  enum class Level { Low, Normal, High, Best, Default, Percent };
  Level level = Level::Default;
  int percent = 0;

  bool operator==(const Quality&) const = default;
};

enum class Query { PixelHeight, PixelWidth };

struct Plan {
  std::vector<Operation> operations;
  std::vector<MetadataEdit> metadata;
  std::optional<Format> format;
  std::optional<Quality> quality;
  bool addIcon = false;
  std::vector<Query> queries;
  std::vector<std::string> inputs;
  std::optional<std::string> out;

  // Whether the pixels have to be decoded and encoded again.
  bool needsPixels() const { return !operations.empty() || format || quality; }
  // Whether anything is to be written at all (a probe alone writes nothing).
  bool writes() const { return needsPixels() || !metadata.empty() || addIcon; }
  // Whether the run sets or removes texts and does nothing else, so no pixel is decoded.
  bool changesOnlyTexts() const { return !metadata.empty() && !needsPixels() && !addIcon && queries.empty(); }
};

// The plan, or one sentence saying what is wrong with the command line.
using ParseResult = std::variant<Plan, std::string>;

ParseResult parseArguments(const std::vector<std::string>& arguments);

// Largest side the tool accepts for any size operand.
inline constexpr int kMaxSide = 65500;

// Helpers shared with the pipeline and its tests.
const char* formatName(Format format);
std::optional<Format> formatFromName(const std::string& name);
const char* propertyName(Property property);
// The 1..100 quality a lossy encoder gets for `quality`.
int qualityPercent(const Quality& quality);

}  // namespace lensbrook::sips
