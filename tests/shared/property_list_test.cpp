#include "shared/property_list.h"

#include <gtest/gtest.h>
#include <plist/plist.h>

#include <cstdlib>

using lensbrook::PropertyList;
using lensbrook::parsePropertyList;
using lensbrook::toXmlPropertyList;

TEST(PropertyListTest, XmlRoundTripKeepsTextsExactly) {
  const PropertyList recipe = PropertyList::stringArray(
      {"-s", "artist", "  Zoë & <Ann> \"quoted\"  ", "", "--resampleHeightWidthMax", "800"});
  const PropertyList types = PropertyList::dictionary(
      {{"NSFileTypes", PropertyList::stringArray({"tif", "tiff"})}, {"NSBackupImage", PropertyList::string("1")}});
  for (const PropertyList& value : {recipe, types, PropertyList::dictionary({})}) {
    const std::string xml = toXmlPropertyList(value);
    EXPECT_NE(xml.find("<?xml"), std::string::npos);
    EXPECT_EQ(parsePropertyList(xml), value);
  }
}

TEST(PropertyListTest, ReadsBinaryForm) {
  plist_t dict = plist_new_dict();
  plist_dict_set_item(dict, "newVersionNumber", plist_new_string("2.1"));
  plist_dict_set_item(dict, "count", plist_new_uint(3));
  char* bin = nullptr;
  uint32_t length = 0;
  plist_to_bin(dict, &bin, &length);
  const auto parsed = parsePropertyList(std::string(bin, length));
  std::free(bin);
  plist_free(dict);
  ASSERT_TRUE(parsed);
  ASSERT_NE(parsed->find("newVersionNumber"), nullptr);
  EXPECT_EQ(parsed->find("newVersionNumber")->text, "2.1");
  EXPECT_EQ(parsed->find("count")->kind, PropertyList::Kind::Other);
}

TEST(PropertyListTest, RejectsWhatIsNoPropertyList) {
  for (const char* bytes : {"", "hello", "<html><body>404</body></html>", "bplist00\x01", "<plist><array><string>"}) {
    EXPECT_FALSE(parsePropertyList(bytes)) << bytes;
  }
}

TEST(PropertyListTest, StringArrayRefusesOtherElements) {
  const auto mixed = parsePropertyList(
      "<?xml version=\"1.0\"?><plist version=\"1.0\"><array><string>-i</string><integer>3</integer></array></plist>");
  ASSERT_TRUE(mixed);
  EXPECT_TRUE(mixed->isArray());
  EXPECT_FALSE(mixed->asStringArray());
  EXPECT_FALSE(PropertyList::dictionary({}).asStringArray());
  EXPECT_EQ(PropertyList::stringArray({"a"}).asStringArray(), std::vector<std::string>{"a"});
}
