// The droplet: wires the engine to its platform and runs the launch protocol.
#include <sys/ioctl.h>
#include <unistd.h>

#include <QApplication>
#include <QTimer>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "lensBrooklet/lens_brook_engine.h"
#include "platform/posix/bundle_location.h"
#include "platform/posix/display_probe.h"
#include "shared/path_text.h"
#include "platform/posix/posix_file_system.h"
#include "platform/posix/posix_process_runner.h"
#include "platform/posix/posix_services.h"
#include "platform/qt/qt_alerts.h"
#include "platform/qt/qt_desktop.h"
#include "platform/qt/qt_droplet_application.h"
#include "platform/qt/qt_progress_window.h"
#include "platform/terminal/terminal_alerts.h"
#include "platform/terminal/terminal_desktop.h"
#include "platform/terminal/terminal_progress.h"
#include "shared/property_list.h"
#include "shared/string_table.h"

namespace lensbrook {
namespace {

// The part of the platform that depends on how the user sees the droplet: a window system or a
// terminal. Everything else is the same for both.
struct DropletFrontEnd {
  std::shared_ptr<void> toolkit;  // kept alive for the whole run (e.g. the application object)
  std::unique_ptr<Alerts> alerts;
  std::unique_ptr<InterfaceLoader> interfaceLoader;
  std::unique_ptr<Keyboard> keyboard;
  std::unique_ptr<Application> application;
  std::unique_ptr<Workspace> workspace;
  std::function<void()> whileWaiting;  // called while the image tool runs
  // Calls `launch` as the program's first piece of work and returns the exit status.
  std::function<int(const std::function<void()>& launch)> run;
};

std::size_t terminalColumns(int fd) {
  struct winsize size = {};
  return ::ioctl(fd, TIOCGWINSZ, &size) == 0 ? size.ws_col : 0;
}

DropletFrontEnd terminalFrontEnd() {
  DropletFrontEnd frontEnd;
  bool onTerminal = ::isatty(STDERR_FILENO) == 1;
  frontEnd.alerts = std::make_unique<TerminalAlerts>(std::cin, std::cerr,
                                                     ::isatty(STDIN_FILENO) != 1);
  frontEnd.interfaceLoader = std::make_unique<TerminalInterfaceLoader>(
      std::cerr, onTerminal, onTerminal ? terminalColumns(STDERR_FILENO) : 0);
  frontEnd.keyboard = std::make_unique<TerminalKeyboard>();
  frontEnd.application = std::make_unique<FlagApplication>();
  frontEnd.workspace = std::make_unique<TerminalWorkspace>(std::cout);
  frontEnd.run = [](const std::function<void()>& launch) {
    launch();
    return 0;
  };
  return frontEnd;
}

// Windows and alerts carry the droplet's own name. The launch runs as the event loop's first turn,
// and while the tool runs the window repaints but takes no input, so nothing can start meanwhile.
// `platform`, when not null, is the Qt platform to use.
DropletFrontEnd qtFrontEnd(char* program, const char* platform) {
  // Qt is given none of the user's arguments: a dropped file must never be taken as one of its
  // options. The platform goes as an option rather than in the environment so that the programs
  // the droplet starts make their own choice.
  static char fallbackName[] = "lensBrooklet";
  static char platformOption[] = "-platform";
  static std::string platformName = platform ? platform : "";
  static int qtArgc = platform ? 3 : 1;
  static char* qtArgv[] = {program ? program : fallbackName, platformOption, platformName.data(),
                           nullptr};
  DropletFrontEnd frontEnd;
  frontEnd.toolkit = std::make_shared<QApplication>(qtArgc, qtArgv);
  std::optional<std::string> executable = runningExecutablePath();
  setUpDropletApplication(executable ? bundleOfExecutable(*executable).bundlePath : qtArgv[0]);
  frontEnd.alerts = std::make_unique<QtAlerts>();
  frontEnd.interfaceLoader = std::make_unique<QtInterfaceLoader>();
  frontEnd.keyboard = std::make_unique<QtKeyboard>();
  frontEnd.application = std::make_unique<QtApplication>();
  frontEnd.workspace = std::make_unique<QtWorkspace>();
  frontEnd.whileWaiting = processEventsExceptUserInput;
  frontEnd.run = [](const std::function<void()>& launch) {
    QTimer::singleShot(0, launch);
    return QApplication::exec();
  };
  return frontEnd;
}

// The dropped items, made absolute so that none can be read as an option of the tool, and
// without trailing slashes, which a desktop never sends and which would double in item paths.
std::vector<std::string> droppedPaths(int argc, char** argv, const std::string& folder) {
  std::vector<std::string> paths;
  for (int i = 1; i < argc; ++i) {
    paths.push_back(withoutTrailingSlashes(absolutePath(folder, argv[i])));
  }
  return paths;
}

StringTable loadStringTable(FileSystem& files, Log& log, const std::string& path) {
  std::optional<std::string> bytes = files.readFile(path);
  std::optional<PropertyList> table = bytes ? parsePropertyList(*bytes) : std::nullopt;
  if (!table || !table->isDictionary()) log.write("Error: cannot read the string table " + path);
  return StringTable(table);
}

int runDroplet(DropletFrontEnd& frontEnd, int argc, char** argv) {
  SyslogLog log("lensBrooklet", ::isatty(STDERR_FILENO) == 1);
  std::error_code error;
  std::string folder = std::filesystem::current_path(error).string();
  std::optional<std::string> executable = runningExecutablePath();
  if (error || !executable) {
    log.write("Error: cannot find the current folder or the droplet's own bundle");
    return 1;
  }
  std::vector<std::string> paths = droppedPaths(argc, argv, folder);

  PosixFileSystem files;
  PosixProcessRunner processes(frontEnd.whileWaiting);
  SteadyClock clock;
  ProvidedSystemVersion systemVersion;
  BundleLocation location = bundleOfExecutable(*executable);
  std::optional<std::string> siteURL =
      readInfoString(files, location.infoPlistPath, "LensBrookSiteURL");
  if (!siteURL) log.write("Error: no LensBrookSiteURL in " + location.infoPlistPath);
  EngineBundle bundle{
      location.resourcesPath, location.sipsPath, siteURL.value_or(""),
      loadStringTable(files, log,
                      absolutePath(location.resourcesPath, "en.lproj/lensBrookletEngine.strings"))};

  EnginePlatform platform{files,
                          processes,
                          clock,
                          log,
                          *frontEnd.alerts,
                          *frontEnd.interfaceLoader,
                          *frontEnd.keyboard,
                          *frontEnd.application,
                          *frontEnd.workspace,
                          systemVersion};
  lensBrookEngine engine(platform, std::move(bundle));
  return frontEnd.run([&] {
    if (!paths.empty()) engine.applicationOpenFiles(paths);
    if (!frontEnd.application->isTerminating()) engine.applicationDidFinishLaunching();
  });
}

}  // namespace
}  // namespace lensbrook

int main(int argc, char** argv) {
  // A closed terminal or pipe must not kill a batch between two items; writes just fail.
  std::signal(SIGPIPE, SIG_IGN);
  // A display that no longer answers (a stale DISPLAY, a closed session) counts as none: the batch
  // then runs in the terminal instead of Qt aborting before it starts.
  const auto variable = [](const char* name) {
    const char* value = std::getenv(name);
    return std::string(value ? value : "");
  };
  const lensbrook::WindowSystemChoice choice = lensbrook::chooseWindowSystem(
      std::getenv("QT_QPA_PLATFORM"), lensbrook::xDisplayAnswers(variable("DISPLAY")),
      lensbrook::waylandDisplayAnswers(variable("WAYLAND_DISPLAY"), variable("XDG_RUNTIME_DIR")));
  lensbrook::DropletFrontEnd frontEnd =
      choice.windows ? lensbrook::qtFrontEnd(argc > 0 ? argv[0] : nullptr, choice.qtPlatform)
                     : lensbrook::terminalFrontEnd();
  return lensbrook::runDroplet(frontEnd, argc, argv);
}
