// Property lists: the settings files of a droplet, the string tables and the update feed.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lensbrook {

// A property-list value reduced to what this system stores: texts, arrays and dictionaries.
// Every other kind (numbers, booleans, dates, data) is kept as Other so that a reader can tell
// "not a text" from "missing".
struct PropertyList {
  enum class Kind { String, Array, Dictionary, Other };

  Kind kind = Kind::Other;
  std::string text;                                  // Kind::String
  std::vector<PropertyList> items;                   // Kind::Array
  std::map<std::string, PropertyList> entries;       // Kind::Dictionary

  static PropertyList string(std::string value);
  static PropertyList array(std::vector<PropertyList> values);
  static PropertyList stringArray(const std::vector<std::string>& values);
  static PropertyList dictionary(std::map<std::string, PropertyList> values);

  bool isString() const { return kind == Kind::String; }
  bool isArray() const { return kind == Kind::Array; }
  bool isDictionary() const { return kind == Kind::Dictionary; }

  // The entry under `key`, or nullptr when this is no dictionary or has no such key.
  const PropertyList* find(const std::string& key) const;

  // The texts of an array whose every element is a text; nullopt for anything else.
  std::optional<std::vector<std::string>> asStringArray() const;

  bool operator==(const PropertyList&) const = default;
};

// Parses an XML or binary property list. Returns nullopt when `bytes` is neither.
std::optional<PropertyList> parsePropertyList(std::string_view bytes);

// Serialises `value` as an XML property list, the form that settings files are written in.
std::string toXmlPropertyList(const PropertyList& value);

}  // namespace lensbrook
