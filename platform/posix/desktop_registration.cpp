#include "platform/posix/desktop_registration.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <utility>

namespace lensbrook {
namespace {

// The image types the tool reads; folders are left out so that no droplet ever becomes the
// program that opens folders.
constexpr const char* kImageMimeTypes =
    "image/jpeg;image/png;image/tiff;image/gif;image/bmp;image/jp2;image/jpx;image/webp;image/heif;"
    "image/avif;image/vnd.adobe.photoshop;image/x-photoshop;image/x-pict;";

// A desktop entry's string escapes, which readers undo before anything else.
std::string escapeValue(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\t': out += "\\t"; break;
      case '\r': out += "\\r"; break;
      default: out += c;
    }
  }
  return out;
}

// One Exec argument, always quoted, so that no character of a path can split it or reach a shell.
std::string quoteExecArgument(const std::string& argument) {
  std::string out = "\"";
  for (char c : argument) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') out += '\\';
    out += c;
    if (c == '%') out += '%';
  }
  return out + "\"";
}

// GLib looks for the program before it undoes "%%", so a program path holding "%" would never be
// found there; env finds it instead.
std::string execCommand(const std::string& program) {
  const std::string quoted = quoteExecArgument(program);
  return program.find('%') == std::string::npos ? quoted : "/usr/bin/env " + quoted;
}

std::string bundleTitle(const std::string& bundlePath) {
  std::string name = std::filesystem::path(bundlePath).filename().string();
  const std::string suffix = ".app";
  if (name.size() > suffix.size() && name.ends_with(suffix)) name.resize(name.size() - suffix.size());
  return name;
}

}  // namespace

PosixDesktopRegistration::PosixDesktopRegistration(FileSystem& files, Log& log,
                                                   std::string applicationsDir)
    : files_(files), log_(log), applicationsDir_(std::move(applicationsDir)) {}

bool PosixDesktopRegistration::registerDroplet(const std::string& bundlePath) {
  std::error_code error;
  if (applicationsDir_.empty()) {
    log_.write("Error: No applications folder to register the droplet " + bundlePath + " in.");
    return false;
  }
  std::filesystem::create_directories(applicationsDir_, error);
  const std::string entryPath = applicationsDir_ + "/" + dropletDesktopEntryName(bundlePath);
  if (error || !files_.writeFileAtomically(entryPath, dropletDesktopEntry(bundlePath))) {
    log_.write("Error: The droplet could not be registered with the desktop at " + entryPath + ".");
    return false;
  }
  return true;
}

std::string userApplicationsDir() {
  const char* dataHome = std::getenv("XDG_DATA_HOME");
  if (dataHome && dataHome[0] == '/') return std::string(dataHome) + "/applications";
  const char* home = std::getenv("HOME");
  if (home && home[0] == '/') return std::string(home) + "/.local/share/applications";
  return {};
}

std::string dropletDesktopEntry(const std::string& bundlePath) {
  return "[Desktop Entry]\n"
         "Type=Application\n"
         "Name=" + escapeValue(bundleTitle(bundlePath)) + "\n"
         "Comment=lensBrook droplet: processes the photos given to it\n"
         "Exec=" + escapeValue(execCommand(bundlePath + "/AppRun")) + " %F\n"
         "Icon=" + escapeValue(bundlePath + "/lensBrooklet.svg") + "\n"
         "Terminal=false\n"
         "Categories=Graphics;\n"
         "MimeType=" + kImageMimeTypes + "\n";
}

std::string dropletDesktopEntryName(const std::string& bundlePath) {
  // FNV-1a: stable across runs and builds, unlike std::hash.
  std::uint64_t hash = 14695981039346656037ULL;
  for (unsigned char c : bundlePath) {
    hash ^= c;
    hash *= 1099511628211ULL;
  }
  char name[48];
  std::snprintf(name, sizeof name, "lensbrooklet-%016llx.desktop", static_cast<unsigned long long>(hash));
  return name;
}

}  // namespace lensbrook
