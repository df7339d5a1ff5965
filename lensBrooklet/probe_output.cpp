#include "lensBrooklet/probe_output.h"

#include <algorithm>
#include <limits>

namespace lensbrook {

std::int32_t integerValue(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  constexpr std::int64_t kLargest = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
  std::int64_t magnitude = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    magnitude = std::min(kLargest, magnitude * 10 + (text[i] - '0'));
  }
  const std::int64_t value = negative ? -magnitude : magnitude;
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, std::numeric_limits<std::int32_t>::min(),
                                                            std::numeric_limits<std::int32_t>::max()));
}

std::optional<std::int32_t> probeValue(std::string_view output, std::string_view label) {
  // The output starts with the item's path, which may be any bytes: only the label and the digits
  // after it need to be ASCII, so the rest is never decoded.
  const auto at = output.find(label);
  if (at == std::string_view::npos) return std::nullopt;
  const auto start = at + label.size();
  const auto end = output.find('\n', start);
  return integerValue(output.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
}

}  // namespace lensbrook
