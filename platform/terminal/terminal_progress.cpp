#include "platform/terminal/terminal_progress.h"

#include <cmath>
#include <string>
#include <vector>

namespace lensbrook {

struct TerminalInterfaceLoader::StatusLine : Window, ProgressBar {
  // One label of the line; `isItemName` marks the one whose change starts a new item.
  struct Label : TextLabel {
    Label(StatusLine& line, bool isItemName) : line(line), isItemName(isItemName) {}
    void setStringValue(const std::string& value) override {
      text = value;
      line.changed(isItemName);
    }
    StatusLine& line;
    bool isItemName;
    std::string text;
  };

  StatusLine(std::ostream& out, bool rewriteInPlace, std::size_t columns)
      : out(out), rewriteInPlace(rewriteInPlace), columns(columns) {}

  void center() override {}
  void makeKeyAndOrderFront() override {
    shown = true;
    if (rewriteInPlace) draw();
  }
  void setMaxValue(double value) override { maximum = value; changed(false); }
  void setMinValue(double value) override { minimum = value; changed(false); }
  void incrementBy(double delta) override { value += delta; changed(false); }

  void changed(bool itemStarted) {
    if (shown && (rewriteInPlace || itemStarted)) draw();
  }

  std::string text() const {
    std::string line = "[" + std::to_string(std::lround(value - minimum));
    if (maximum > minimum) line += "/" + std::to_string(std::lround(maximum - minimum));
    line += "]";
    const char* separator = " ";
    for (const Label* label : {&description, &currentFile, &timeRemaining}) {
      if (label->text.empty()) continue;
      line += separator + label->text;
      separator = " - ";
    }
    return line;
  }

  // Cuts `line` to `columns` characters, counting UTF-8 sequences as one.
  std::string fitted(const std::string& line) const {
    if (columns == 0) return line;
    std::size_t characters = 0;
    for (std::size_t i = 0; i < line.size(); ++i) {
      bool startsCharacter = (static_cast<unsigned char>(line[i]) & 0xC0) != 0x80;
      if (startsCharacter && ++characters > columns) return line.substr(0, i);
    }
    return line;
  }

  void draw() {
    std::string line = text();
    for (char& c : line) {
      if (c == '\n' || c == '\r' || c == '\t') c = ' ';  // a name must not break the line
    }
    if (rewriteInPlace) {
      out << '\r' << fitted(line) << "\x1b[K" << std::flush;
      lineOpen = true;
    } else {
      out << line << std::endl;
    }
  }

  std::ostream& out;
  bool rewriteInPlace;
  std::size_t columns;
  bool shown = false;
  bool lineOpen = false;
  double minimum = 0, maximum = 100, value = 0;
  Label description{*this, false}, currentFile{*this, true}, timeRemaining{*this, false};
};

TerminalInterfaceLoader::TerminalInterfaceLoader(std::ostream& out, bool rewriteInPlace,
                                                 std::size_t columns)
    : line_(std::make_unique<StatusLine>(out, rewriteInPlace, columns)) {}

TerminalInterfaceLoader::~TerminalInterfaceLoader() {
  if (line_->lineOpen) line_->out << std::endl;
}

bool TerminalInterfaceLoader::loadMainMenu(ProgressWindowOutlets& owner) {
  owner.progressWindow = line_.get();
  owner.progressBar = line_.get();
  owner.descriptionText = &line_->description;
  owner.currentFile = &line_->currentFile;
  owner.timeRemaining = &line_->timeRemaining;
  return true;
}

}  // namespace lensbrook
