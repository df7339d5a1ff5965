#include "shared/string_table.h"

namespace lensbrook {

StringTable::StringTable(const std::optional<PropertyList>& table) {
  if (table && table->isDictionary()) table_ = *table;
}

std::string StringTable::text(const std::string& key) const {
  const PropertyList* entry = table_.find(key);
  return entry && entry->isString() ? entry->text : key;
}

std::string StringTable::format(const std::string& key, const std::vector<FormatArgument>& arguments) const {
  return formatText(text(key), arguments);
}

}  // namespace lensbrook
