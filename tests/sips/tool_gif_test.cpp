// The texts of a GIF live in its XMP extension: written by the tool, read back by exiftool, with
// every other byte of the file left as it was.
#include <fstream>

#include "tool_fixture.h"

namespace lensbrook::sips::testing {
namespace {

using Args = std::vector<std::string>;

const std::string kXmpHeader = "\x21\xff\x0bXMP DataXMP";

std::string magicTrailer() {
  std::string trailer("\x01", 1);
  for (int value = 0xff; value >= 0; --value) trailer.push_back(char(value));
  return trailer + std::string(1, '\0');
}

// The file without its XMP extension; the file itself when it has none.
std::string withoutXmp(const std::string& gif) {
  std::size_t begin = gif.find(kXmpHeader);
  if (begin == std::string::npos) return gif;
  std::size_t trailer = gif.find(magicTrailer(), begin);
  if (trailer == std::string::npos) return "no magic trailer";
  return gif.substr(0, begin) + gif.substr(trailer + magicTrailer().size());
}

struct GifCase {
  const char* name;
  Args prepare;  // exiftool arguments run on the GIF first, if any
  Args recipe;
  std::string creator, rights, description, subject;
};

TEST_F(SipsTool, GifTextsAreWrittenAsXmpAndNothingElseChanges) {
  const std::string artist = "Zoë <Lind> & \"studio\"";
  const GifCase cases[] = {
      {"set every text", {},
       {"-s", "artist", artist, "-s", "copyright", "© 2026", "-s", "description", "lang=\"fr\" Bonjour"},
       artist, "© 2026", "lang=\"fr\" Bonjour", ""},
      {"replace a packet, keeping its other properties",
       {"-XMP-dc:Creator=Old", "-XMP-dc:Rights=Old", "-XMP-dc:Subject=keep"},
       {"-s", "artist", "New", "-d", "copyright"}, "New", "", "", "keep"},
      {"remove the last text", {"-XMP-dc:Creator=Old"}, {"-d", "artist"}, "", "", "", ""},
      {"remove from a GIF without XMP", {}, {"-d", "artist", "-d", "copyright", "-d", "description"}, "", "", "", ""},
  };
  for (const auto& c : cases) {
    std::string gif = makeImage("still.gif");
    if (!c.prepare.empty()) {
      Args args = c.prepare;
      args.insert(args.begin(), {"-q", "-overwrite_original"});
      args.push_back(gif);
      ASSERT_EQ(exiftool(args).status, 0) << c.name;
    }
    std::string before = readBytes(gif);
    std::string pixels = decoded(gif);
    Args args = c.recipe;
    args.push_back(gif);
    ToolRun run = sips(args);
    ASSERT_EQ(run.status, 0) << c.name << run.err;
    EXPECT_EQ(exifTag(gif, "XMP-dc:Creator"), c.creator) << c.name;
    EXPECT_EQ(exifTag(gif, "XMP-dc:Rights"), c.rights) << c.name;
    EXPECT_EQ(exifTag(gif, "XMP-dc:Description"), c.description) << c.name;
    EXPECT_EQ(exifTag(gif, "XMP-dc:Subject"), c.subject) << c.name;
    std::string after = readBytes(gif);
    EXPECT_TRUE(withoutXmp(after) == withoutXmp(before)) << c.name;
    EXPECT_EQ(decoded(gif), pixels) << c.name;
    bool anyText = !(c.creator + c.rights + c.description + c.subject).empty();
    EXPECT_EQ(after.find(kXmpHeader) != std::string::npos, anyText) << c.name;
    EXPECT_EQ(exiftool({"-validate", "-warning", "-a", gif}).out.find("Warning"), std::string::npos) << c.name;
  }
}

// A recipe that redraws the picture keeps the source's XMP and its EXIF texts, now as XMP.
TEST_F(SipsTool, GifMadeByARecipeCarriesTheSourceTexts) {
  std::string photo = makeImage("photo.jpg");
  std::string gif = makeImage("still.gif");
  ASSERT_EQ(exiftool({"-q", "-overwrite_original", "-EXIF:Artist=From EXIF", photo}).status, 0);
  ASSERT_EQ(exiftool({"-q", "-overwrite_original", "-XMP-dc:Creator=From XMP", "-XMP-dc:Subject=keep", gif}).status, 0);
  const std::pair<std::string, std::string> sources[] = {{photo, "From EXIF"}, {gif, "From XMP"}};
  for (const auto& [source, creator] : sources) {
    std::string out = path("out.gif");
    ToolRun run = sips({"-f", "horizontal", "-s", "copyright", "C", "-s", "format", "gif", source, "--out", out});
    ASSERT_EQ(run.status, 0) << source << run.err;
    EXPECT_EQ(exifTag(out, "XMP-dc:Creator"), creator) << source;
    EXPECT_EQ(exifTag(out, "XMP-dc:Rights"), "C") << source;
    EXPECT_EQ(exifTag(out, "XMP-dc:Subject"), source == gif ? "keep" : "") << source;
  }
}

// Cut inside each kind of block, or with a block the format does not have: refused, and the
// file and its folder left exactly as they were.
TEST_F(SipsTool, MalformedGifIsRefusedAndLeftAlone) {
  std::string good = makeImage("good.gif");
  ASSERT_EQ(sips({"-s", "artist", "A", good}).status, 0);
  std::string bytes = readBytes(good);
  std::size_t xmp = bytes.find(kXmpHeader);
  ASSERT_NE(xmp, std::string::npos);
  std::string unknownBlock = bytes;
  unknownBlock.insert(xmp, "\x2d");
  const std::pair<std::string, const char*> cases[] = {
      {bytes.substr(0, 16), "cut in the colour table"},
      {bytes.substr(0, xmp + 40), "cut in the XMP packet"},
      {bytes.substr(0, bytes.size() - 4), "cut in the image data"},
      {bytes.substr(0, bytes.size() - 1), "no trailer"},
      {unknownBlock, "unknown block"},
  };
  for (const auto& [broken, why] : cases) {
    std::string file = path("broken.gif");
    { std::ofstream(file, std::ios::binary) << broken; }
    std::vector<std::string> folder = listFolder(dir_.string());
    ToolRun run = sips({"-s", "artist", "B", "-d", "copyright", file});
    EXPECT_NE(run.status, 0) << why;
    EXPECT_TRUE(run.err.starts_with("Error: ")) << why << run.err;
    EXPECT_TRUE(readBytes(file) == broken) << why;
    EXPECT_EQ(listFolder(dir_.string()), folder) << why;
  }
}

}  // namespace
}  // namespace lensbrook::sips::testing
