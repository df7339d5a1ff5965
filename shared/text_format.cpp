#include "shared/text_format.h"

#include <cstdio>

namespace lensbrook {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::string render(const FormatArgument& argument, char conversion) {
  if (const auto* text = std::get_if<std::string>(&argument)) return *text;
  const bool hex = conversion == 'x' || conversion == 'X';
  char buffer[32];
  if (const auto* value = std::get_if<std::int64_t>(&argument)) {
    if (hex) return render(static_cast<std::uint64_t>(*value), conversion);
    std::snprintf(buffer, sizeof buffer, "%lld", static_cast<long long>(*value));
  } else {
    const auto u = static_cast<unsigned long long>(std::get<std::uint64_t>(argument));
    std::snprintf(buffer, sizeof buffer, conversion == 'x' ? "%llx" : conversion == 'X' ? "%llX" : "%llu", u);
  }
  return buffer;
}

}  // namespace

std::string formatText(std::string_view format, const std::vector<FormatArgument>& arguments) {
  std::string out;
  out.reserve(format.size() + 16);
  std::size_t next = 0;  // the argument that a conversion without a position takes
  std::size_t i = 0;
  while (i < format.size()) {
    const char c = format[i];
    if (c != '%') {
      out += c;
      ++i;
      continue;
    }
    if (i + 1 < format.size() && format[i + 1] == '%') {
      out += '%';
      i += 2;
      continue;
    }
    // Parse "%[N$][flags][width][.precision][length]conversion".
    std::size_t j = i + 1;
    std::size_t position = 0;  // 1-based; 0 when none was written
    std::size_t digitsEnd = j;
    while (digitsEnd < format.size() && isDigit(format[digitsEnd])) ++digitsEnd;
    if (digitsEnd > j && digitsEnd < format.size() && format[digitsEnd] == '$' && digitsEnd - j <= 4) {
      position = std::stoul(std::string(format.substr(j, digitsEnd - j)));
      j = digitsEnd + 1;
    }
    while (j < format.size() && std::string_view("-+ #0'").find(format[j]) != std::string_view::npos) ++j;
    while (j < format.size() && isDigit(format[j])) ++j;
    if (j < format.size() && format[j] == '.') {
      ++j;
      while (j < format.size() && isDigit(format[j])) ++j;
    }
    while (j < format.size() && std::string_view("hlqLjzt").find(format[j]) != std::string_view::npos) ++j;
    // Only conversions that print a value are filled; "%n" and the like stay text.
    if (j >= format.size() || std::string_view("@dDiuUxXsScCfFeEgG").find(format[j]) == std::string_view::npos) {
      // Not a conversion: keep the text as it stands.
      out += format.substr(i, (j < format.size() ? j : format.size()) - i);
      i = j;
      continue;
    }
    const char conversion = format[j];
    const std::size_t index = position ? position - 1 : next++;
    if (index < arguments.size()) {
      out += render(arguments[index], conversion);
    } else {
      out += format.substr(i, j + 1 - i);
    }
    i = j + 1;
  }
  return out;
}

}  // namespace lensbrook
