// A droplet opened without items explains itself and quits.
#include "lensBrooklet/lens_brook_engine.h"
#include "shared/system_version.h"

namespace lensbrook {

void lensBrookEngine::applicationDidFinishLaunching() {
  if (!passesSystemVersionGate(platform_.systemVersion, platform_.alerts, platform_.application, bundle_.texts)) {
    return;
  }
  Alert info;
  info.style = AlertStyle::Plain;
  info.title = bundle_.texts.text("DROPLET_INFO_TITLE");
  info.message = bundle_.texts.text("DROPLET_INFO_TEXT");
  info.defaultButton = bundle_.texts.text("QUIT");
  info.alternateButton = bundle_.texts.text("DROPLET_INFO_MORE_INFO_BTN");
  info.answerWithoutChoice = kAlertDefault;
  if (platform_.alerts.runAlert(info) == kAlertAlternate) platform_.workspace.openURL(bundle_.siteURL + "/lensbrook/");
  platform_.application.terminate();
}

}  // namespace lensbrook
