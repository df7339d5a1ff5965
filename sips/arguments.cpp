#include "sips/arguments.h"

#include <array>
#include <cmath>
#include <cstdlib>
#include <utility>

namespace lensbrook::sips {
namespace {

constexpr std::array<std::pair<Format, const char*>, 9> kFormats{{
    {Format::Jpeg, "jpeg"},
    {Format::Tiff, "tiff"},
    {Format::Png, "png"},
    {Format::Gif, "gif"},
    {Format::Jp2, "jp2"},
    {Format::Bmp, "bmp"},
    {Format::Psd, "psd"},
    {Format::Pict, "pict"},
    {Format::Qtif, "qtif"},
}};

constexpr std::array<std::pair<Property, const char*>, 3> kProperties{{
    {Property::Artist, "artist"},
    {Property::Copyright, "copyright"},
    {Property::Description, "description"},
}};

constexpr std::array<std::pair<Quality::Level, const char*>, 5> kQualityWords{{
    {Quality::Level::Low, "low"},
    {Quality::Level::Normal, "normal"},
    {Quality::Level::High, "high"},
    {Quality::Level::Best, "best"},
    {Quality::Level::Default, "default"},
}};

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Plain decimal digits only: no sign, no exponent, no fraction, no blanks, so that "1e9", "12.5"
// and " 5" are refused rather than silently read as something else.
std::optional<int> parseWhole(const std::string& text, int low, int high) {
  if (text.empty() || text.size() > 9) return std::nullopt;
  int value = 0;
  for (char c : text) {
    if (!isDigit(c)) return std::nullopt;
    value = value * 10 + (c - '0');
  }
  if (value < low || value > high) return std::nullopt;
  return value;
}

// A decimal with optional sign and fraction ("-12.5", "90", ".5"); exponents and words refused.
std::optional<double> parseAngle(const std::string& text) {
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
  std::size_t digits = 0;
  bool point = false;
  for (; i < text.size(); ++i) {
    if (isDigit(text[i])) {
      ++digits;
    } else if (text[i] == '.' && !point) {
      point = true;
    } else {
      return std::nullopt;
    }
  }
  if (digits == 0 || digits > 30) return std::nullopt;
  double value = std::strtod(text.c_str(), nullptr);
  if (!std::isfinite(value)) return std::nullopt;
  return value;
}

std::optional<Quality> parseQuality(const std::string& text) {
  for (const auto& [level, word] : kQualityWords) {
    if (text == word) return Quality{level, 0};
  }
  std::string digits = text;
  if (!digits.empty() && digits.back() == '%') digits.pop_back();
  if (auto percent = parseWhole(digits, 1, 100)) return Quality{Quality::Level::Percent, *percent};
  return std::nullopt;
}

std::optional<Property> propertyFromName(const std::string& name) {
  for (const auto& [property, text] : kProperties) {
    if (name == text) return property;
  }
  return std::nullopt;
}

// Walks the arguments once; every option checks its own operands.
class Parser {
 public:
  explicit Parser(const std::vector<std::string>& arguments) : args_(arguments) {}

  ParseResult run() {
    while (pos_ < args_.size() && error_.empty()) {
      const std::string& arg = args_[pos_++];
      if (arg == "--") {
        while (pos_ < args_.size()) plan_.inputs.push_back(args_[pos_++]);
      } else if (arg.size() > 1 && arg[0] == '-') {
        option(arg);
      } else {
        plan_.inputs.push_back(arg);
      }
    }
    if (!error_.empty()) return error_;
    if (plan_.inputs.empty()) return std::string("no image file given");
    if (!plan_.writes() && plan_.queries.empty()) return std::string("nothing to do");
    return plan_;
  }

 private:
  void option(const std::string& name) {
    if (name == "-s" || name == "--setProperty") return setProperty(name);
    if (name == "-d" || name == "--deleteProperty") return deleteProperty(name);
    if (name == "-g" || name == "--getProperty") return getProperty(name);
    if (name == "-f" || name == "--flip") return flip(name);
    if (name == "-r" || name == "--rotate") return rotate(name);
    if (name == "-p" || name == "--padToHeightWidth") return sized(name, Operation::Kind::Pad);
    if (name == "-c" || name == "--cropToHeightWidth") return sized(name, Operation::Kind::Crop);
    if (name == "-z" || name == "--resampleHeightWidth") return sized(name, Operation::Kind::Resample);
    if (name == "--resampleWidth") return oneSide(name, Operation::Kind::ResampleWidth);
    if (name == "--resampleHeight") return oneSide(name, Operation::Kind::ResampleHeight);
    if (name == "--resampleHeightWidthMax") return oneSide(name, Operation::Kind::ResampleMax);
    if (name == "-i" || name == "--addIcon") {
      plan_.addIcon = true;
      return;
    }
    if (name == "-o" || name == "--out") {
      if (auto path = operand(name, "a path")) {
        if (path->empty()) return fail("empty path after " + name);
        plan_.out = *path;
      }
      return;
    }
    fail("unknown option " + name);
  }

  std::optional<std::string> operand(const std::string& option, const std::string& what) {
    if (pos_ >= args_.size()) {
      fail(option + " needs " + what);
      return std::nullopt;
    }
    return args_[pos_++];
  }

  void setProperty(const std::string& option) {
    auto key = operand(option, "a property name and a value");
    if (!key) return;
    auto value = operand(option + " " + *key, "a value");
    if (!value) return;
    if (*key == "format") {
      plan_.format = formatFromName(*value);
      if (!plan_.format) fail("unsupported format \"" + *value + "\"");
    } else if (*key == "formatOptions") {
      plan_.quality = parseQuality(*value);
      if (!plan_.quality) fail("bad quality \"" + *value + "\" (low, normal, high, best, default or 1-100)");
    } else if (auto property = propertyFromName(*key)) {
      plan_.metadata.push_back({*property, *value});
    } else {
      fail("unknown property \"" + *key + "\"");
    }
  }

  void deleteProperty(const std::string& option) {
    auto key = operand(option, "a property name");
    if (!key) return;
    if (auto property = propertyFromName(*key)) {
      plan_.metadata.push_back({*property, std::nullopt});
    } else {
      fail("cannot delete property \"" + *key + "\"");
    }
  }

  void getProperty(const std::string& option) {
    auto key = operand(option, "a property name");
    if (!key) return;
    if (*key == "pixelHeight") {
      plan_.queries.push_back(Query::PixelHeight);
    } else if (*key == "pixelWidth") {
      plan_.queries.push_back(Query::PixelWidth);
    } else {
      fail("unknown property \"" + *key + "\"");
    }
  }

  void flip(const std::string& option) {
    auto direction = operand(option, "horizontal or vertical");
    if (!direction) return;
    if (*direction == "horizontal") {
      plan_.operations.push_back({Operation::Kind::FlipHorizontal});
    } else if (*direction == "vertical") {
      plan_.operations.push_back({Operation::Kind::FlipVertical});
    } else {
      fail("bad flip direction \"" + *direction + "\" (horizontal or vertical)");
    }
  }

  void rotate(const std::string& option) {
    auto text = operand(option, "an angle");
    if (!text) return;
    auto angle = parseAngle(*text);
    if (!angle) return fail("bad angle \"" + *text + "\" for " + option);
    Operation op{Operation::Kind::Rotate};
    op.angle = *angle;
    plan_.operations.push_back(op);
  }

  std::optional<int> side(const std::string& option) {
    auto text = operand(option, "a size in pixels");
    if (!text) return std::nullopt;
    auto value = parseWhole(*text, 1, kMaxSide);
    if (!value) {
      fail("bad size \"" + *text + "\" for " + option + " (a whole number from 1 to " +
           std::to_string(kMaxSide) + ")");
    }
    return value;
  }

  void sized(const std::string& option, Operation::Kind kind) {
    auto height = side(option);
    if (!height) return;
    auto width = side(option);
    if (!width) return;
    Operation op{kind};
    op.height = *height;
    op.width = *width;
    plan_.operations.push_back(op);
  }

  void oneSide(const std::string& option, Operation::Kind kind) {
    auto value = side(option);
    if (!value) return;
    Operation op{kind};
    if (kind != Operation::Kind::ResampleHeight) op.width = *value;
    if (kind != Operation::Kind::ResampleWidth) op.height = *value;
    plan_.operations.push_back(op);
  }

  void fail(std::string message) {
    if (error_.empty()) error_ = std::move(message);
  }

  const std::vector<std::string>& args_;
  std::size_t pos_ = 0;
  Plan plan_;
  std::string error_;
};

}  // namespace

ParseResult parseArguments(const std::vector<std::string>& arguments) {
  return Parser(arguments).run();
}

const char* formatName(Format format) {
  for (const auto& [f, name] : kFormats) {
    if (f == format) return name;
  }
  return "";
}

std::optional<Format> formatFromName(const std::string& name) {
  for (const auto& [format, text] : kFormats) {
    if (name == text) return format;
  }
  return std::nullopt;
}

const char* propertyName(Property property) {
  for (const auto& [p, name] : kProperties) {
    if (p == property) return name;
  }
  return "";
}

int qualityPercent(const Quality& quality) {
  switch (quality.level) {
    case Quality::Level::Low: return 30;
    case Quality::Level::Normal: return 60;
    case Quality::Level::High: return 80;
    case Quality::Level::Best: return 100;
    case Quality::Level::Default: return 85;
    case Quality::Level::Percent: return quality.percent;
  }
  return 85;
}

}  // namespace lensbrook::sips
