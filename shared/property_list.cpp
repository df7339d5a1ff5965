#include "shared/property_list.h"

#include <plist/plist.h>

#include <cstdlib>
#include <limits>
#include <memory>

namespace lensbrook {
namespace {

struct PlistDeleter {
  void operator()(plist_t node) const { plist_free(node); }
};
using PlistHandle = std::unique_ptr<void, PlistDeleter>;

PropertyList fromNode(plist_t node) {
  PropertyList value;
  switch (plist_get_node_type(node)) {
    case PLIST_STRING: {
      // Not plist_get_string_val: it asserts, and so aborts the process, on a text holding NUL.
      uint64_t length = 0;
      const char* text = plist_get_string_ptr(node, &length);
      value = PropertyList::string(text ? std::string(text, length) : std::string());
      break;
    }
    case PLIST_ARRAY: {
      value.kind = PropertyList::Kind::Array;
      const uint32_t count = plist_array_get_size(node);
      value.items.reserve(count);
      for (uint32_t i = 0; i < count; ++i) value.items.push_back(fromNode(plist_array_get_item(node, i)));
      break;
    }
    case PLIST_DICT: {
      value.kind = PropertyList::Kind::Dictionary;
      plist_dict_iter it = nullptr;
      plist_dict_new_iter(node, &it);
      for (;;) {
        char* key = nullptr;
        plist_t item = nullptr;
        plist_dict_next_item(node, it, &key, &item);
        if (!item) {
          std::free(key);
          break;
        }
        if (key) value.entries.emplace(key, fromNode(item));
        std::free(key);
      }
      std::free(it);
      break;
    }
    default:
      break;
  }
  return value;
}

plist_t toNode(const PropertyList& value) {
  switch (value.kind) {
    case PropertyList::Kind::String:
      return plist_new_string(value.text.c_str());
    case PropertyList::Kind::Array: {
      plist_t node = plist_new_array();
      for (const PropertyList& item : value.items) plist_array_append_item(node, toNode(item));
      return node;
    }
    case PropertyList::Kind::Dictionary: {
      plist_t node = plist_new_dict();
      for (const auto& [key, item] : value.entries) plist_dict_set_item(node, key.c_str(), toNode(item));
      return node;
    }
    case PropertyList::Kind::Other:
      break;
  }
  // Other values are never produced by this system's writers; an empty text keeps the file valid.
  return plist_new_string("");
}

}  // namespace

PropertyList PropertyList::string(std::string value) {
  PropertyList list;
  list.kind = Kind::String;
  list.text = std::move(value);
  return list;
}

PropertyList PropertyList::array(std::vector<PropertyList> values) {
  PropertyList list;
  list.kind = Kind::Array;
  list.items = std::move(values);
  return list;
}

PropertyList PropertyList::stringArray(const std::vector<std::string>& values) {
  std::vector<PropertyList> items;
  items.reserve(values.size());
  for (const std::string& v : values) items.push_back(string(v));
  return array(std::move(items));
}

PropertyList PropertyList::dictionary(std::map<std::string, PropertyList> values) {
  PropertyList list;
  list.kind = Kind::Dictionary;
  list.entries = std::move(values);
  return list;
}

const PropertyList* PropertyList::find(const std::string& key) const {
  if (kind != Kind::Dictionary) return nullptr;
  auto it = entries.find(key);
  return it == entries.end() ? nullptr : &it->second;
}

std::optional<std::vector<std::string>> PropertyList::asStringArray() const {
  if (kind != Kind::Array) return std::nullopt;
  std::vector<std::string> texts;
  texts.reserve(items.size());
  for (const PropertyList& item : items) {
    if (!item.isString()) return std::nullopt;
    texts.push_back(item.text);
  }
  return texts;
}

std::optional<PropertyList> parsePropertyList(std::string_view bytes) {
  if (bytes.empty() || bytes.size() > std::numeric_limits<uint32_t>::max()) return std::nullopt;
  plist_t root = nullptr;
  const auto length = static_cast<uint32_t>(bytes.size());
  if (plist_is_binary(bytes.data(), length)) {
    plist_from_bin(bytes.data(), length, &root);
  } else {
    plist_from_xml(bytes.data(), length, &root);
  }
  if (!root) return std::nullopt;
  PlistHandle handle(root);
  return fromNode(root);
}

std::string toXmlPropertyList(const PropertyList& value) {
  PlistHandle node(toNode(value));
  char* xml = nullptr;
  uint32_t length = 0;
  plist_to_xml(node.get(), &xml, &length);
  std::string text(xml ? xml : "", xml ? length : 0);
  plist_to_xml_free(xml);
  return text;
}

}  // namespace lensbrook
