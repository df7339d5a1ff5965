// For scripts/demo: fills the real editor form offscreen (fit within 800 pixels, an artist, JPEG
// out, TIFF files in) and saves it as a droplet through the real save sheet and writer.
//   demo_editor FOLDER NAME ARTIST APPLICATIONS_FOLDER
#include <QApplication>

#include <cstdio>
#include <string>

#include "platform/posix/posix_services.h"
#include "tests/end_to_end/editor_session.h"

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: %s FOLDER NAME ARTIST APPLICATIONS_FOLDER\n", argv[0]);
    return 2;
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  int qtArgc = 1;
  QApplication app(qtArgc, argv);
  lensbrook::SyslogLog log("lensBrook");
  lensbrook::endtoend::EditorSession editor(log, argv[4]);

  editor.type("resampleImageMax", "800");
  editor.type("artist", QString::fromLocal8Bit(argv[3]));
  editor.click("modifyImageFormat");  // JPEG, the first format
  editor.chooseFileTypes(8);          // TIFF files (.tif, .tiff)
  const bool sheetOpened = editor.save([&](QFileDialog& dialog) {
    lensbrook::endtoend::EditorSession::typeNameAndSave(dialog, QString::fromLocal8Bit(argv[1]),
                                                       QString::fromLocal8Bit(argv[2]));
  });
  if (!sheetOpened || editor.alertSheet()) {
    std::fprintf(stderr, "demo_editor: the droplet was not saved\n");
    return 1;
  }
  editor.window().grab().save(QString::fromLocal8Bit(argv[1]) + "/editor.png");
  return 0;
}
