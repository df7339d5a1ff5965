#include <gtest/gtest.h>

#include <filesystem>

#include "platform/posix/bundle_location.h"
#include "platform/posix/posix_file_system.h"
#include "platform/posix/posix_services.h"
#include "shared/property_list.h"
#include "tests/posix/temp_folder.h"

namespace lensbrook {
namespace {

using testing::TempFolder;
using testing::writeText;

TEST(BundleLocationTest, PartsOfTheBundleAroundTheExecutable) {
  BundleLocation bundle = bundleOfExecutable("/home/me/My Droplet.app/Contents/MacOS/lensBrooklet");
  EXPECT_EQ(bundle.bundlePath, "/home/me/My Droplet.app");
  EXPECT_EQ(bundle.resourcesPath, "/home/me/My Droplet.app/Contents/Resources");
  EXPECT_EQ(bundle.infoPlistPath, "/home/me/My Droplet.app/Contents/Info.plist");
  EXPECT_EQ(bundle.sipsPath, "/home/me/My Droplet.app/Contents/MacOS/sips");
}

TEST(BundleLocationTest, RunningExecutableIsThisTest) {
  std::optional<std::string> self = runningExecutablePath();
  ASSERT_TRUE(self.has_value());
  EXPECT_TRUE(std::filesystem::equivalent(*self, "/proc/self/exe"));
}

TEST(BundleLocationTest, InfoStringsOnlyWhenTheyAreTexts) {
  TempFolder temp;
  PosixFileSystem files;
  std::string info = temp / "Info.plist";
  writeText(info, toXmlPropertyList(PropertyList::dictionary(
                      {{"CFBundleVersion", PropertyList::string("1.0")},
                       {"LensBrookSiteURL", PropertyList::string("https://lensbrook.org")},
                       {"Listed", PropertyList::stringArray({"a"})}})));
  writeText(temp / "broken.plist", "<plist><dict><key>CFBundleVersion");
  EXPECT_EQ(readInfoString(files, info, "CFBundleVersion"), "1.0");
  EXPECT_EQ(readInfoString(files, info, "LensBrookSiteURL"), "https://lensbrook.org");
  EXPECT_EQ(readInfoString(files, info, "Listed"), std::nullopt);
  EXPECT_EQ(readInfoString(files, info, "Absent"), std::nullopt);
  EXPECT_EQ(readInfoString(files, temp / "broken.plist", "CFBundleVersion"), std::nullopt);
  EXPECT_EQ(readInfoString(files, temp / "missing.plist", "CFBundleVersion"), std::nullopt);
}

TEST(SyslogLogTest, EachLineAlsoGoesToStandardErrorUnchanged) {
  SyslogLog log("lensbrook-test");
  ::testing::internal::CaptureStderr();
  log.write("Running sips failed for /tmp/a 100%s.jpg");
  log.write("second");
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "Running sips failed for /tmp/a 100%s.jpg\nsecond\n");
  SyslogLog onTerminal("lensbrook-test", true);
  ::testing::internal::CaptureStderr();
  onTerminal.write("failed");
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "\r\x1b[Kfailed\n");
}

}  // namespace
}  // namespace lensbrook
