#include "tests/lensBrooklet/engine_fixture.h"

namespace lensbrook::testing {
namespace {

using Entries = std::map<std::string, PropertyList>;

std::string xml(const std::string& body) { return "<?xml version=\"1.0\"?><plist version=\"1.0\">" + body + "</plist>"; }

class SettingsTest : public EngineTest {};

TEST_F(SettingsTest, AttributeFileGivesArgumentsAndOutputExtension) {
  const struct {
    const char* name;
    std::optional<std::string> bytes;  // nullopt: no file
    bool loads;
    std::optional<Strings> attributes;
    bool useFileSuffix;
    std::optional<std::string> suffix;
  } cases[] = {
      {"missing", std::nullopt, false, std::nullopt, false, std::nullopt},
      {"not a property list", "<plist><array><string>-i", false, std::nullopt, false, std::nullopt},
      {"dictionary root", toXmlPropertyList(PropertyList::dictionary({})), false, std::nullopt, false, std::nullopt},
      {"a number among the texts", xml("<array><string>-i</string><integer>5</integer></array>"), false,
       std::nullopt, false, std::nullopt},
      {"empty", toXmlPropertyList(PropertyList::array({})), true, Strings{}, false, std::nullopt},
      {"no format", toXmlPropertyList(PropertyList::stringArray({"-f", "vertical"})), true,
       Strings{"-f", "vertical"}, false, std::nullopt},
      {"jpeg", toXmlPropertyList(PropertyList::stringArray({"-s", "format", "jpeg"})), true,
       Strings{"-s", "format", "jpeg"}, true, "jpg"},
      {"tiff", toXmlPropertyList(PropertyList::stringArray({"-s", "format", "tiff"})), true,
       Strings{"-s", "format", "tiff"}, true, "tif"},
      {"png", toXmlPropertyList(PropertyList::stringArray({"-s", "format", "png"})), true,
       Strings{"-s", "format", "png"}, true, "png"},
      {"qtif", toXmlPropertyList(PropertyList::stringArray({"-s", "format", "qtif"})), true,
       Strings{"-s", "format", "qtif"}, true, "qtif"},
      {"upper case is unknown", toXmlPropertyList(PropertyList::stringArray({"-s", "format", "JPEG"})), true,
       Strings{"-s", "format", "JPEG"}, true, std::nullopt},
      {"first format counts", toXmlPropertyList(PropertyList::stringArray({"-s", "format", "png", "-s", "format", "jpeg"})),
       true, Strings{"-s", "format", "png", "-s", "format", "jpeg"}, true, "png"},
      {"format as a text counts too", toXmlPropertyList(PropertyList::stringArray({"-s", "artist", "format", "-s", "format", "gif"})),
       true, Strings{"-s", "artist", "format", "-s", "format", "gif"}, true, std::nullopt},
      {"format without a value", toXmlPropertyList(PropertyList::stringArray({"-s", "format"})), true,
       Strings{"-s", "format"}, true, std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.bytes) files.addFile(std::string(kResources) + "/dropletAttributes.plist", *c.bytes);
    EXPECT_EQ(engine().loadDropletAttributes(), c.loads);
    EXPECT_EQ(engine().dropletAttributes, c.attributes);
    EXPECT_EQ(engine().useFileSuffix, c.useFileSuffix);
    EXPECT_EQ(engine().fileSuffix, c.suffix);
    EXPECT_FALSE(engine().useDropletTypes);
  }
}

TEST_F(SettingsTest, TypesFileGivesTheFilter) {
  const struct {
    const char* name;
    std::optional<std::string> bytes;
    bool filters;
    Strings types;
  } cases[] = {
      {"missing", std::nullopt, false, {}},
      {"not a property list", "NSFileTypes = jpg", false, {}},
      {"array root", toXmlPropertyList(PropertyList::stringArray({"jpg"})), false, {}},
      {"empty dictionary", toXmlPropertyList(PropertyList::dictionary({})), false, {}},
      {"backup only", toXmlPropertyList(PropertyList::dictionary({{"NSBackupImage", PropertyList::string("1")}})), false, {}},
      {"listed", toXmlPropertyList(PropertyList::dictionary({{"NSFileTypes", PropertyList::stringArray({"tif", "tiff"})}})),
       true, {"tif", "tiff"}},
      {"empty list", toXmlPropertyList(PropertyList::dictionary({{"NSFileTypes", PropertyList::array({})}})), true, {}},
      // A damaged list must narrow the filter, never drop it.
      {"a number among the texts",
       xml("<dict><key>NSFileTypes</key><array><true/><string>jpg</string></array></dict>"),
       true, {"jpg"}},
      {"a number instead of a list", xml("<dict><key>NSFileTypes</key><integer>1</integer></dict>"), true, {}},
      {"one text instead of a list", toXmlPropertyList(PropertyList::dictionary({{"NSFileTypes", PropertyList::string("png")}})),
       true, {"png"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.bytes) files.addFile(std::string(kResources) + "/dropletTypes.plist", *c.bytes);
    // The attribute file's failure does not stop the types file from being read.
    EXPECT_FALSE(engine().loadDropletAttributes());
    EXPECT_EQ(engine().useDropletTypes, c.filters);
    EXPECT_EQ(engine().dropletTypes, c.types);
    EXPECT_EQ(engine().fileAttributes.has_value(), c.bytes && c.bytes->find("<dict") != std::string::npos);
  }
}

}  // namespace
}  // namespace lensbrook::testing
