// printf-style formatting of texts that come from string tables, which anyone may edit.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace lensbrook {

using FormatArgument = std::variant<std::string, std::int64_t, std::uint64_t>;

// Fills the conversions of `format` ("%@", "%d", "%u", "%s", "%ld", positional "%1$@", ...) with
// `arguments`, in order. Each conversion shows its argument as text whatever its letter says, so a
// table whose placeholders do not match the arguments still gives a readable line: a conversion
// with no argument left stays as written, surplus arguments are dropped, "%%" is one "%".
// Never reads beyond `arguments`.
std::string formatText(std::string_view format, const std::vector<FormatArgument>& arguments);

}  // namespace lensbrook
