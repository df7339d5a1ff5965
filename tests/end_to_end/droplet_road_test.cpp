// From the form to converted photos: the real editor saves a droplet with the real writer, and the
// saved droplet runs the real image tool on a folder of photos.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vips/vips8>

#include <QApplication>
#include <QFileDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>

#include "tests/end_to_end/editor_session.h"
#include "tests/fakes/fake_services.h"

namespace lensbrook::endtoend {
namespace {

namespace fs = std::filesystem;

const std::string kNoAttributesWritten = "Error: The attributes array failed to write to dropletAttributes.plist.";
const std::string kNoTypesWritten = "Error: The file types dictionary field to write to dropletTypes.plist.";

std::string slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Every entry below `root`: kind and permissions; for files and links also the modification time
// and a digest of the contents or the target. (Writing into a folder changes its time, so folders
// are compared by what they hold.)
std::map<std::string, std::string> snapshot(const fs::path& root) {
  std::map<std::string, std::string> entries;
  std::error_code error;
  for (auto it = fs::recursive_directory_iterator(root, error); it != fs::recursive_directory_iterator(); ++it) {
    struct stat info = {};
    ::lstat(it->path().c_str(), &info);
    std::string entry = std::to_string(info.st_mode);
    if (!S_ISDIR(info.st_mode)) {
      entry += " " + std::to_string(info.st_mtim.tv_sec) + "." + std::to_string(info.st_mtim.tv_nsec) + " " +
               std::to_string(std::hash<std::string>{}(it->is_symlink() ? fs::read_symlink(it->path()).string()
                                                                          : slurp(it->path())));
    }
    entries[fs::relative(it->path(), root).string()] = entry;
  }
  return entries;
}

void writeFile(const fs::path& path, const std::string& contents) { std::ofstream(path, std::ios::binary) << contents; }

// A photo-like TIFF: a colour gradient, `width` x `height`.
void makeTiff(const fs::path& path, int width, int height) {
  vips::VImage xy = vips::VImage::xyz(width, height);
  vips::VImage x = xy[0] * (255.0 / width), y = xy[1] * (255.0 / height);
  vips::VImage rgb = x.bandjoin(y).bandjoin((x + y) / 2).cast(VIPS_FORMAT_UCHAR);
  rgb.tiffsave(path.c_str());
}

// Runs the droplet on `paths` without a display, answering its warning with `answer`.
int dropOn(const fs::path& droplet, const std::vector<fs::path>& paths, const std::string& answer) {
  std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=offscreen '" +
                        (droplet / "AppRun").string() + "'";
  for (const fs::path& path : paths) command += " '" + path.string() + "'";
  command += " >/dev/null 2>&1";
  FILE* pipe = ::popen(command.c_str(), "w");
  if (!pipe) return -1;
  std::fputs(answer.c_str(), pipe);
  return ::pclose(pipe);
}

class DropletRoadTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(root.isValid()); }

  fs::path at(const std::string& name) const { return fs::path(root.path().toStdString()) / name; }

  // A typical first droplet: fit within 800 pixels, JPEG out, TIFF files in.
  void fillTheForm() {
    session.type("resampleImageMax", "800");
    session.click("modifyImageFormat");
    session.chooseFileTypes(8);
  }

  void saveAs(const QString& name) {
    ASSERT_TRUE(session.save([&](QFileDialog& dialog) {
      EditorSession::typeNameAndSave(dialog, root.path(), name);
    }));
  }

  QTemporaryDir root;
  fakes::RecordingLog log;
  EditorSession session{log, (fs::path(root.path().toStdString()) / "applications").string()};
};

TEST_F(DropletRoadTest, SavedDropletConvertsADroppedFolder) {
  const fs::path templateBundle = builtEditorBundle() + "/Contents/Resources/lens Brooklet.app";
  const auto templateBefore = snapshot(templateBundle);
  ASSERT_TRUE(templateBefore.count("Contents/MacOS/lensBrooklet"));

  fillTheForm();
  saveAs("Holiday");
  const fs::path droplet = at("Holiday.app");
  EXPECT_TRUE(log.lines.empty());
  EXPECT_EQ(session.alertSheet(), nullptr);

  EXPECT_EQ(parsePropertyList(slurp(droplet / "Contents/Resources/dropletAttributes.plist")),
            PropertyList::stringArray({"--resampleHeightWidthMax", "800", "-s", "format", "jpeg"}));
  EXPECT_EQ(parsePropertyList(slurp(droplet / "Contents/Resources/dropletTypes.plist")),
            PropertyList::dictionary({{"NSFileTypes", PropertyList::stringArray({"tif", "tiff"})}}));
  auto copied = snapshot(droplet);
  copied.erase("Contents/Resources/dropletAttributes.plist");
  copied.erase("Contents/Resources/dropletTypes.plist");
  EXPECT_EQ(copied, templateBefore);
  EXPECT_EQ(snapshot(templateBundle), templateBefore);
  EXPECT_TRUE(fs::exists(at("applications") / dropletDesktopEntryName(droplet)));

  const fs::path photos = at("photos");
  fs::create_directory(photos);
  makeTiff(photos / "a.tif", 1200, 900);
  writeFile(photos / ".DS_Store", "finder junk");
  const auto takenAt = fs::file_time_type(std::chrono::seconds(1577934245));  // 2 Jan 2020
  fs::last_write_time(photos / "a.tif", takenAt);
  const auto photosBefore = snapshot(photos);

  EXPECT_EQ(dropOn(droplet, {photos}, "1\n"), 0);

  auto photosAfter = snapshot(photos);
  ASSERT_TRUE(photosAfter.count("a.jpg"));
  photosAfter.erase("a.jpg");
  EXPECT_EQ(photosAfter, photosBefore);  // a.tif and .DS_Store as they were, nothing else made
  vips::VImage converted = vips::VImage::new_from_file((photos / "a.jpg").c_str());
  EXPECT_EQ(converted.width(), 800);
  EXPECT_EQ(converted.height(), 600);
  EXPECT_STREQ(vips_foreign_find_load((photos / "a.jpg").c_str()), "VipsForeignLoadJpegFile");
  EXPECT_EQ(fs::last_write_time(photos / "a.jpg"), takenAt);
}

TEST_F(DropletRoadTest, WarningDeclinedLeavesThePhotosAlone) {
  fillTheForm();
  saveAs("Holiday");
  const fs::path photos = at("photos");
  fs::create_directory(photos);
  makeTiff(photos / "a.tif", 1000, 400);
  const auto before = snapshot(photos);
  dropOn(at("Holiday.app"), {photos}, "2\n");
  EXPECT_EQ(snapshot(photos), before);
}

// Runs `action` with the permissions of an ordinary user, for root ignores them.
void asOrdinaryUser(const std::function<void()>& action) {
  const bool root = ::geteuid() == 0;
  if (root && ::seteuid(65534) != 0) ADD_FAILURE() << "cannot drop to an ordinary user";
  action();
  if (root && ::seteuid(0) != 0) ADD_FAILURE() << "cannot return to root";
}

// Saves that cannot make a droplet: nothing on disk changes, the fixed log lines are written and an
// alert sheet tells the user. Cancelling does nothing at all; saving onto a droplet changes only
// its settings.
TEST_F(DropletRoadTest, SavesThatCannotMakeADroplet) {
  fillTheForm();
  saveAs("Existing");  // a droplet to save onto
  ASSERT_TRUE(fs::exists(at("Existing.app/Contents/MacOS/lensBrooklet")));
  const StringTable texts(parsePropertyList(
      slurp(builtEditorBundle() + "/Contents/Resources/en.lproj/lensBrook.strings")));
  const std::string settings[] = {"Existing.app/Contents/Resources/dropletAttributes.plist",
                                  "Existing.app/Contents/Resources/dropletTypes.plist",
                                  "applications/" + dropletDesktopEntryName(at("Existing.app"))};
  fs::permissions(at(""), fs::perms::others_read | fs::perms::others_exec, fs::perm_options::add);
  fs::create_directory(at("locked"));
  fs::permissions(at("locked"), fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);

  struct Row {
    std::string name;
    std::function<void()> prepare;
    std::string folder;  // where the user saves
    QString typed;       // empty: the user cancels the sheet
    bool ordinaryUser;
    bool fails;
  };
  const Row rows[] = {
      {"cancel", [] {}, "", "", false, false},
      {"existing droplet", [] {}, "", "Existing", false, false},
      {"plain file", [&] { writeFile(at("Plain.app"), "not a droplet"); }, "", "Plain", false, true},
      {"folder without Contents/Resources", [&] { fs::create_directories(at("Folder.app/Contents")); }, "",
       "Folder", false, true},
      {"folder that cannot be written", [] {}, "locked", "New", true, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    row.prepare();
    log.lines.clear();
    const auto before = snapshot(at(""));
    const auto answer = [&](QFileDialog& dialog) {
      if (row.typed.isEmpty()) return dialog.reject();
      QTimer::singleShot(0, [] {  // agrees to replace what is there
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box && box->button(QMessageBox::Yes)) box->button(QMessageBox::Yes)->click();
      });
      EditorSession::typeNameAndSave(dialog, QString::fromStdString(at(row.folder).string()), row.typed);
    };
    if (row.ordinaryUser) asOrdinaryUser([&] { ASSERT_TRUE(session.save(answer)); });
    else ASSERT_TRUE(session.save(answer));

    auto after = snapshot(at(""));
    auto expected = before;
    if (row.name == "existing droplet") {
      for (const std::string& path : settings) {
        EXPECT_NE(after[path], before.at(path));  // rewritten
        after.erase(path);
        expected.erase(path);
      }
    }
    EXPECT_EQ(after, expected);
    QMessageBox* sheet = session.alertSheet();
    if (!row.fails) {
      EXPECT_TRUE(log.lines.empty());
      EXPECT_EQ(sheet, nullptr);
      continue;
    }
    EXPECT_EQ(log.lines, (std::vector<std::string>{kNoAttributesWritten, kNoTypesWritten}));
    ASSERT_NE(sheet, nullptr);
    EXPECT_NE(texts.text("SAVE_FAILED_TITLE"), "SAVE_FAILED_TITLE");
    EXPECT_EQ(sheet->text().toStdString(), texts.text("SAVE_FAILED_TITLE"));
    EXPECT_EQ(sheet->informativeText().toStdString(),
              texts.format("SAVE_FAILED_TEXT", {(at(row.folder) / (row.typed.toStdString() + ".app")).string()}));
    sheet->defaultButton()->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
}

}  // namespace
}  // namespace lensbrook::endtoend

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  if (VIPS_INIT(argv[0])) return 1;
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
