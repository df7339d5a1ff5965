#include "platform/terminal/terminal_alerts.h"

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

namespace lensbrook {
namespace {

struct Button {
  const std::string* title;
  int answer;
};

std::string trimmed(const std::string& text) {
  auto isSpace = [](unsigned char c) { return std::isspace(c) != 0; };
  auto first = std::find_if_not(text.begin(), text.end(), isSpace);
  auto last = std::find_if_not(text.rbegin(), text.rend(), isSpace).base();
  return first < last ? std::string(first, last) : std::string();
}

bool sameIgnoringCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

const char* styleMark(AlertStyle style) {
  switch (style) {
    case AlertStyle::Critical: return "(!) ";
    case AlertStyle::Informational: return "(i) ";
    case AlertStyle::Plain: break;
  }
  return "";
}

// The button `reply` names, or nullptr.
const Button* chosen(const std::vector<Button>& buttons, const std::string& reply) {
  if (reply.empty()) return &buttons.front();
  for (std::size_t i = 0; i < buttons.size(); ++i) {
    if (reply == std::to_string(i + 1) || sameIgnoringCase(reply, *buttons[i].title)) {
      return &buttons[i];
    }
  }
  return nullptr;
}

}  // namespace

int TerminalAlerts::runAlert(const Alert& alert) {
  std::vector<Button> buttons = {{&alert.defaultButton, kAlertDefault}};
  if (!alert.alternateButton.empty()) buttons.push_back({&alert.alternateButton, kAlertAlternate});
  if (!alert.otherButton.empty()) buttons.push_back({&alert.otherButton, kAlertOther});

  out_ << '\n' << styleMark(alert.style) << alert.title << '\n';
  if (!alert.message.empty()) out_ << alert.message << '\n';
  for (std::size_t i = 0; i < buttons.size(); ++i) {
    out_ << "  " << i + 1 << ") " << *buttons[i].title << (i == 0 ? "  [Enter]" : "") << '\n';
  }
  out_ << "> " << std::flush;

  std::string reply;
  const Button* button = std::getline(in_, reply) ? chosen(buttons, trimmed(reply)) : nullptr;
  if (echoReply_ && in_) out_ << reply << '\n';
  if (button != nullptr) return button->answer;
  auto fallback = std::find_if(buttons.begin(), buttons.end(), [&](const Button& b) {
    return b.answer == alert.answerWithoutChoice;
  });
  out_ << (in_ ? "Not one of the choices; taking: " : "\nNo answer; taking: ")
       << (fallback != buttons.end() ? *fallback->title : std::string()) << std::endl;
  return alert.answerWithoutChoice;
}

}  // namespace lensbrook
