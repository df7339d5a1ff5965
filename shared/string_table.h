// A program's table of user-visible texts, looked up by key.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "shared/property_list.h"
#include "shared/text_format.h"

namespace lensbrook {

class StringTable {
 public:
  StringTable() = default;
  // `table` is the parsed table file; anything but a dictionary gives an empty table. Entries
  // that are not texts are ignored.
  explicit StringTable(const std::optional<PropertyList>& table);

  // The text for `key`, or the key itself when the table has none.
  std::string text(const std::string& key) const;

  // The text for `key` used as a format with exactly `arguments` (see formatText).
  std::string format(const std::string& key, const std::vector<FormatArgument>& arguments) const;

 private:
  PropertyList table_;
};

}  // namespace lensbrook
